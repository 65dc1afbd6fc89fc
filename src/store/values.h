// Conversions of engine values the way the store reads them (Null, or a value that does not
// convert, gives the "nothing" value of its kind), and the quiet recordset steps it shares.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

#include <memory>

#include "store/engine/database.h"
#include "store/engine/value.h"

namespace store {

int32_t longOrZero(const engine::Value& v);
bool boolOrFalse(const engine::Value& v);
engine::Date dateOrZero(const engine::Value& v);
std::string textOrEmpty(const engine::Value& v);  // not trimmed

bool equalsNoCase(const std::string& a, const std::string& b);
// Abandons an Edit or AddNew in progress, ignoring errors.
void abandonEdit(engine::Recordset* rs);
// Closes the recordset in slot (ignoring errors) and puts rs there.
void replaceRecordset(std::unique_ptr<engine::Recordset>& slot, std::unique_ptr<engine::Recordset> rs);

// The record id a node or item key names: its leading digits ("5id" gives 5); 0 for none.
int32_t keyID(const std::string& key);
// The first n characters (code points) of UTF-8 text.
std::string firstChars(const std::string& utf8, int n);

// The current local date and time as DAO holds it.
engine::Date nowDate();
// A moment in local date and time as DAO holds it.
engine::Date localDate(std::time_t t);
// "YYYY/M/D H:M": year, month, day, hour and minute without leading zeros; "" for a number
// that is no DAO date (not finite, or beyond the years DAO holds).
std::string formatDateYMDHM(engine::Date d);

}  // namespace store
