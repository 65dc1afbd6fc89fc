// Recognising, opening and closing a library; the store's properties and events.
#include <filesystem>

#include "store/ctreebook.h"
#include "store/values.h"

namespace store {

namespace {

constexpr int32_t kTreeLibID = 2018;
constexpr int32_t kNrLibID = 3018;

// Opens a file for looking at only: nothing for a missing file, a directory or a file that
// is not a database of either kind.
std::unique_ptr<engine::Database> openForReading(const std::string& fileName) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(fileName, ec)) return nullptr;
    if (engine::detectFormat(fileName) == engine::Format::None) return nullptr;
    try {
        return engine::openDatabase(fileName, {.readOnly = true});
    } catch (...) {
        return nullptr;
    }
}

bool holdsTables(engine::Database& db, std::initializer_list<const char*> names) {
    for (const char* name : names)
        if (!ctreebook::tableExists(db, name)) return false;
    return true;
}

int32_t libID(engine::Database& db, const std::string& table) {
    try {
        return longOrZero(db.property(table, "QuillmereLibID"));
    } catch (...) {
        return 0;
    }
}

}  // namespace

ctreebook::ctreebook() = default;

ctreebook::~ctreebook() { closeDB(); }

bool ctreebook::isTreeBookDB(const std::string& fileName) {
    auto db = openForReading(fileName);
    try {
        return db && holdsTables(*db, {"tree", "nr"});
    } catch (...) {
        return false;
    }
}

bool ctreebook::isVYNEFile(const std::string& fileName) { return libraryProblem(fileName).empty(); }

std::string ctreebook::libraryProblem(const std::string& fileName) {
    std::error_code ec;
    if (!std::filesystem::exists(fileName, ec)) return "the file does not exist";
    if (std::filesystem::is_directory(fileName, ec)) return "it is a folder";
    auto db = openForReading(fileName);
    if (!db) return "it is not a database file (or it is damaged)";
    try {
        for (const char* table : {"tree", "nr"})
            if (!tableExists(*db, table)) return std::string("it has no table \"") + table + "\"";
        for (auto [table, want] : {std::pair{"tree", kTreeLibID}, {"nr", kNrLibID}}) {
            const int32_t got = libID(*db, table);
            if (got != want)
                return std::string("QuillmereLibID of table \"") + table + "\" is " +
                       (got ? std::to_string(got) : std::string("missing")) + ", not " +
                       std::to_string(want);
        }
        return {};
    } catch (...) {
        return "its tables cannot be read";
    }
}

bool ctreebook::isDualLXBookDB(const std::string& fileName) {
    auto db = openForReading(fileName);
    try {
        return db && holdsTables(*db, {"zlx", "lx", "分类文章"});
    } catch (...) {
        return false;
    }
}

bool ctreebook::dbContainTab(const std::string& fileName, const std::string& tableName) {
    auto db = openForReading(fileName);
    try {
        return db && tableExists(*db, tableName);
    } catch (...) {
        return false;
    }
}

bool ctreebook::openDB(const std::string& fileName, const std::string& tabName,
                       const std::string& nrTabName) {
    closeRecordsets();
    contentCandidates_ = nullptr;
    passwdChecked_.emplace();
    dbName_ = fileName;
    if (!tabName.empty()) tabName_ = tabName;
    if (!nrTabName.empty()) nrTabName_ = nrTabName;
    return Initialize();
}

bool ctreebook::Initialize() {
    if (open_) closeRecordsets();
    std::error_code ec;
    // Only a database file is ever opened: nothing else may be turned into one.
    if (!std::filesystem::is_regular_file(dbName_, ec) ||
        engine::detectFormat(dbName_) == engine::Format::None)
        return false;
    try {
        db_ = engine::openDatabase(dbName_, {.readOnly = readOnlyOpen_, .exclusive = false});
        rs_ = db_->openTable(tabName_);
        rs_->setIndex("primaryKey");
        engine::TableDef def = db_->tableDef(tabName_);
        if (const engine::FieldDef* bt = def.field("bt"); bt && bt->size > 0) titleLimit_ = bt->size;
        // The content table is opened before anything is written, so that a database that
        // is no library is never changed.
        nrRS_ = db_->openTable(nrTabName_);
        nrRS_->setIndex("primaryKey");

        lastId_ = 0;
        firstBookmark_.clear();
        if (rs_->eof()) {
            if (!db_->readOnly()) {
                try {
                    rs_->addNew();
                    rs_->setField("id", engine::Value(int32_t{1}));
                    rs_->setField("bt", firstChars(files_.getFileTitleName(dbName_, false), titleLimit_));
                    rs_->setField("path", engine::Value(true));
                    rs_->setField("pid", engine::Value(int32_t{0}));
                    rs_->update();
                    lastId_ = 1;
                    rs_->moveFirst();
                    firstBookmark_ = rs_->bookmark();
                } catch (const engine::Error&) {
                    // Media that refuse writes still allow reading.
                    abandonEdit(rs_.get());
                }
            }
        } else {
            firstBookmark_ = rs_->bookmark();
            rs_->moveLast();
            lastId_ = longOrZero(rs_->field("id"));
        }

        firstBookmarkNR_.clear();
        if (!nrRS_->eof()) firstBookmarkNR_ = nrRS_->bookmark();

        if (!tableExists(*db_, noteTabName_) && !db_->readOnly()) createNoteTable(*db_, noteTabName_);
        noteAvailable_ = false;
        noteRS_.reset();
        if (tableExists(*db_, noteTabName_)) {
            try {
                noteRS_ = db_->openTable(noteTabName_);
                noteRS_->setIndex("primaryKey");
                noteAvailable_ = true;
            } catch (const engine::Error&) {
                noteRS_.reset();
            }
        }
        open_ = true;
        return true;
    } catch (...) {
        closeRecordsets();
        return false;
    }
}

void ctreebook::closeRecordsets() {
    for (auto* rs : {&noteRS_, &rs_, &nrRS_}) replaceRecordset(*rs, nullptr);
    if (db_) {
        try {
            db_->close();
        } catch (...) {
        }
        db_.reset();
    }
    noteAvailable_ = false;
    open_ = false;
}

void ctreebook::closeDB() {
    closeRecordsets();
    contentCandidates_ = nullptr;
    passwdChecked_.reset();
}

void ctreebook::setMyRS(std::unique_ptr<engine::Recordset> rs) {
    replaceRecordset(rs_, std::move(rs));
    open_ = true;
}

void ctreebook::setNrRS(std::unique_ptr<engine::Recordset> rs) {
    replaceRecordset(nrRS_, std::move(rs));
    open_ = true;
}

void ctreebook::gotoSelectedID(TreeControl& tree, int32_t id) {
    std::vector<int32_t> chain = parentChain(id);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        std::string key = std::to_string(*it) + "id";
        bool answer = false;
        if (events.changeSelectID) events.changeSelectID(tree, key, answer);
    }
}

}  // namespace store
