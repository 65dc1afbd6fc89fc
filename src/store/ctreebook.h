// The library store: one object stands for one open library (a tree of classes and documents
// in the tables `tree`, `nr` and `note`).
//
// Every operation that touches records first checks that a library is open and otherwise
// returns its "nothing" value (0, empty text, false, -1 where said). No operation lets an
// engine error escape except the cursor wrappers, which pass them on as DAO would.
// Text is UTF-8; content bytes are the document's own bytes (text documents: code page 936).
// Ids are 32-bit, the root class is 1 with parent 0; node and list keys are the id followed
// by "id".
//
// Member definitions live in files by topic: create.cpp (new libraries and their tables),
// open.cpp (recognising, opening, closing, properties, events), records.cpp (field access by
// id, whole-record readers, cursor wrappers), content.cpp (the stored form of content),
// text_repair.cpp (character-set and HTML conversions), tree.cpp (walks, tree and list
// filling), icons.cpp, search.cpp; the editing and password operations have their own files.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "store/controls.h"
#include "store/engine/database.h"
#include "store/password_prompts.h"
#include "store/picture_box.h"
#include "util/file_path.h"
#include "util/str_op.h"
#include "util/zlib_compressor.h"

namespace store {

using engine::Bytes;

// The main table's row as the whole-record reader keeps it.
struct TreeRecord {
    int32_t id = 0;
    std::string bt;
    int16_t attr = 0;
    engine::Date dt;
    bool path = false;
    int32_t pid = 0;
    bool readed = false;
    int32_t size = 0;
};

// The content table's row, `nr` in its stored form.
struct ContentRecord {
    int32_t id = 0;
    int32_t crc = 0;
    std::string gs;
    int32_t size = 0;
    bool zed = false;
    Bytes nr;
};

class ctreebook {
public:
    ctreebook();
    ~ctreebook();
    ctreebook(const ctreebook&) = delete;
    ctreebook& operator=(const ctreebook&) = delete;

    // The owner's hooks: events raised to it, the yes/no question and the beep, node colours.
    StoreEvents events;
    StoreSeams seams;
    TreeColours colours;

    // ---- New libraries (create.cpp) ----

    // Creates a library file: tables `tree`, `nr`, `note` with their properties. Empty table
    // names mean the current ones. An existing file is replaced only when the owner answers
    // Yes to "<file> existed, Overwrit it?"; a directory is never replaced. True only when all
    // three tables were made.
    bool createBookMDB(const std::string& fileName, const std::string& tabName = "",
                       const std::string& nrTabName = "");
    // Brings a library made before the identification properties up to date.
    bool convertToNewVer(const std::string& fileName);
    // Whether the database has a table of that name (case-insensitive).
    static bool tableExists(engine::Database& db, const std::string& name);

    // ---- Recognition, opening and closing (open.cpp) ----

    // None of these keeps the file open or changes it.
    static bool isTreeBookDB(const std::string& fileName);
    static bool isVYNEFile(const std::string& fileName);
    // Why a file is not a library, in plain words; "" when it is one.
    static std::string libraryProblem(const std::string& fileName);
    static bool isDualLXBookDB(const std::string& fileName);
    static bool dbContainTab(const std::string& fileName, const std::string& tableName);

    // Opens a library (empty table names keep the current ones) and forgets given passwords.
    bool openDB(const std::string& fileName, const std::string& tabName = "",
                const std::string& nrTabName = "");
    // (Re)opens myDBName. A read-only library opens for reading: the root record and the note
    // table are then only made when they can be written.
    bool Initialize();
    void closeDB();
    bool openOK() const { return open_; }
    // Opens libraries for reading only from now on (tools that only look); default false.
    void setReadOnlyOpen(bool on) { readOnlyOpen_ = on; }

    engine::Database* myDB() const { return db_.get(); }
    engine::Recordset* myRS() const { return rs_.get(); }
    engine::Recordset* nrRS() const { return nrRS_.get(); }
    engine::Recordset* noteRS() const { return noteRS_.get(); }
    // Taking a recordset closes the current one and marks the store open.
    void setMyRS(std::unique_ptr<engine::Recordset> rs);
    void setNrRS(std::unique_ptr<engine::Recordset> rs);

    const std::string& myDBName() const { return dbName_; }
    void setMyDBName(const std::string& name) { dbName_ = name; }
    const std::string& myTabName() const { return tabName_; }
    void setMyTabName(const std::string& name) { tabName_ = name; }
    const std::string& myNRTabName() const { return nrTabName_; }
    void setMyNRTabName(const std::string& name) { nrTabName_ = name; }
    const std::string& noteTabName() const { return noteTabName_; }
    bool noteAvailable() const { return noteAvailable_; }
    // Whether content rewritten by updateTxtNR is compressed (default true).
    void setZed(bool on) { zed_ = on; }
    int32_t ihwnd() const { return ihwnd_; }
    void setIhwnd(int32_t handle) { ihwnd_ = handle; }
    const std::string& Msg() const { return msg_; }
    // Replaces the string operations (with their replacement rules) the store uses.
    void cStrReplace(const clsStrOP& op) { strOP_ = op; }

    // Characters a title may have: the `bt` size of the open library (100 by default).
    int titleLimit() const { return titleLimit_; }
    // The largest id handed out so far.
    int32_t lastID() const { return lastId_; }

    // Raises changeSelectID for each node from the topmost ancestor of id down to id.
    void gotoSelectedID(TreeControl& tree, int32_t id);

    // ---- Record access by id (records.cpp) ----

    // Null gives "", anything else its text with surrounding spaces removed.
    static std::string trimNull(const engine::Value& v);

    std::string BTByID(int32_t id);
    std::string getBTByID(int32_t id);  // as stored, not trimmed
    int32_t pidByID(int32_t id);
    engine::Date dateByid(int32_t id);
    int32_t sizeByid(int32_t id);
    int32_t getSize(int32_t id);
    bool pathByid(int32_t id);
    bool isPath(int32_t id);
    int32_t attrByid(int32_t id);
    std::string gsByid(int32_t id);  // lower case
    int32_t sizeByidNR(int32_t id);
    int32_t crcByid(int32_t id);
    bool zedByID(int32_t id);

    static std::string KeyById(int32_t id);  // "k" & id
    // Class titles from the top class down, "/"-separated; the root is never part of it.
    std::string getPPathName(int32_t id, bool includeSelf);
    // Titles from the record up to the root, "/"-separated.
    std::string lxnameByid(int32_t id);

    // Whole-record readers into currRec() / currNR().
    bool getCurrRec();
    bool getCurrRec2();
    bool getRecByID(int32_t id);
    bool getRecByID2(int32_t id);
    bool getRec(int32_t pid, const std::string& title, const std::string& gs = "");
    const TreeRecord& currRec() const { return currRec_; }
    const ContentRecord& currNR() const { return currNR_; }
    std::string getCurr格式();
    int32_t getCurrCRC();
    int32_t getCurr长度();
    int32_t getNRSize(int32_t id);

    // The first auto-increment field of a table, or "".
    static std::string GetAutoNumDAO(engine::Database& db, const std::string& tableName);

    // Cursor wrappers: the plain names on the main recordset, "2" on the content recordset.
    // Engine errors pass through (engine::Error, also when no library is open).
    void AddNew();
    void AddNew2();
    void Delete();
    void Delete2();
    void Requery();
    void Update();
    void Update2();
    void Cancel();
    void Cancel2();
    void MoveFirst();
    void MoveFirst2();
    void MoveLast();
    void MoveLast2();
    void MoveNext();  // at the end: beep and stay on the last record
    void MoveNext2();
    void MovePrevious();  // at the start: beep and stay on the first record
    void MovePrevious2();

    // ---- Document content (content.cpp, text_repair.cpp) ----

    // Decodes the content of id into bytes and returns its length; 0 (bytes unchanged) when
    // there is none or the row is damaged.
    int32_t getNR(int32_t id, Bytes& bytes);
    // As getNR plus the row's format and CRC and the main row's pid, date and read mark;
    // -1 when closed or without a content row.
    int32_t getNRfull(int32_t id, Bytes& bytes, std::string& gs, bool& readed, engine::Date& dt,
                      int32_t& pid, int32_t& crc);
    int32_t getCurrNR(Bytes& bytes);
    std::string getTextNR(int32_t id);  // "txt" documents only
    std::string getHtmNR(int32_t id);   // "htm"/"html" documents as plain text

    // Rewrites the content of an existing content row from the first n bytes. Afterwards
    // bytes holds the stored form.
    bool updateTxtNR(int32_t id, Bytes& bytes, int32_t n);
    bool putNR(int32_t id, Bytes& bytes);

    // The scrambling of stored content (its own inverse).
    static void encodeNr(Bytes& bytes, int32_t n);
    static void decodeNr(Bytes& bytes, int32_t n);
    // Replaces bytes by its zlib stream; false (unchanged) when shorter than 256 bytes or failed.
    bool zipBin2bin(Bytes& bytes);
    // Inflates bytes to n; n on success, 0 (unchanged) otherwise.
    int32_t unZip2bin(Bytes& bytes, int32_t n);
    // Text forms for callers outside the content table (no scrambling).
    int32_t zipStr2bin(const std::string& text, Bytes& bytes, int32_t& crc);
    std::string unZip2Text(const Bytes& bytes, int32_t n);

    bool HtmToTxt(int32_t id);
    bool uncode2ansi(int32_t id);   // by detection: UTF-16, else UTF-8
    bool uncode2ansi2(int32_t id);  // as UTF-16
    bool utf82ansi2(int32_t id);    // as UTF-8

    // ---- Tree and list loading (tree.cpp, icons.cpp) ----

    bool book2TVWzlx(TreeControl& tree, int32_t pid);
    // Adds one level under parentKey; returns the number of nodes added.
    int32_t book2TVWsub(TreeControl& tree, const std::string& parentKey, bool withDocs);
    bool addNode(TreeControl& tree, int32_t id, bool isClass, const std::string& parentKey,
                 const std::string& title, bool readed);
    bool zlxTVW(TreeControl& tree);
    // One row per child of pid; a class whose size is 0 gets its computed size stored.
    int32_t btToListView(ListControl& list, int32_t pid, bool append);
    int32_t lxToCombo2(ComboControl& combo);
    void listLX(int32_t id, int32_t indent, std::string& text);

    // Id collectors: ids is replaced; the result is its count. Children come in id order;
    // subtree walks stop at a record met before (a parent chain that loops).
    int32_t getParentIDs(int32_t id, std::vector<int32_t>& ids);
    int32_t getSubID(int32_t pid, std::vector<int32_t>& ids);
    int32_t getLXSubID(int32_t pid, std::vector<int32_t>& ids);
    int32_t getNRSubID(int32_t pid, std::vector<int32_t>& ids, const std::string& format = "");
    int32_t getAllSubID(int32_t pid, std::vector<int32_t>& ids);
    int32_t getAllNRSubID(int32_t pid, std::vector<int32_t>& ids);
    int32_t getAllNRID(std::vector<int32_t>& ids);
    int32_t sizePid(int32_t id, bool recursive = true);
    int32_t countPid(int32_t id, bool recursive = true);

    // Icon registry: one provider per icon size. size 0 means the default size.
    int addImgList(int size, IconProvider* provider, const std::string& path, int type);
    int useImgSize() const { return imgSize_; }
    void useImgSize(int size) { imgSize_ = size; }
    IconProvider* getImgList(int size) const;
    std::string imgPath(int size = 0) const;
    std::string imgPath16() const { return imgPath(16); }
    std::string imgPath32() const { return imgPath(32); }
    int iconType(int size = 0) const;
    int iconType16() const { return iconType(16); }
    int iconType32() const { return iconType(32); }
    int imgNormalSize() const { return 32; }
    int imgSmallSize() const { return 16; }
    // The image key for a document format ("path": classes); "" without a provider.
    std::string iconIndex(const std::string& format, int size = 0);

    // ---- Search (search.cpp) ----

    void prepareSearchList(ListControl& list, bool forClasses);
    // Titles matching Jet's LIKE '*key*' (the key is not escaped).
    int32_t searchKeyToLVW(const std::string& key, ListControl& list, bool forClasses);
    // Documents below classId (recursively) whose content holds the key's code-page-936
    // bytes starting at a character boundary.
    int32_t searchKeyToLVWNR(const std::string& key, ListControl& list, int32_t& classId,
                             const std::string& format);
    int32_t searchKeyToLVWNR2(const std::string& key, ListControl& list, int32_t& classId,
                              const std::string& format, int32_t& count);
    std::string searchKeyPath(const std::string& key);
    std::string searchKeyNR(const std::string& key);
    // Exact, case-sensitive look-ups of a child of pid by title; 0 when none.
    int32_t findPidBT(int32_t pid, const std::string& title, const std::string& gs = "");
    int32_t findPidPath(int32_t pid, const std::string& title);
    int32_t findNrBT(int32_t pid, const std::string& title, const std::string& gs);
    int32_t findbtlx2(int32_t pid, const std::string& title);

    // Whether key's bytes occur in content starting at a character boundary of code page 936.
    static bool containsAtCharBoundary(const Bytes& content, const Bytes& key);

    // Narrows content searches: the ids (ascending) of the documents whose content may hold
    // the key's code-page-936 bytes, or nothing when it cannot tell. Every candidate is still
    // checked against its content, so a search finds the same rows in the same order with or
    // without it. Kept until a library is opened or the store is closed.
    using ContentCandidates = std::function<std::optional<std::vector<int32_t>>(const Bytes& key)>;
    void setContentCandidates(ContentCandidates candidates) { contentCandidates_ = std::move(candidates); }

    // ---- Editing (edit*.cpp) ----

    // Sets `size` of a main-table record; false when missing or not writable.
    bool changeSize(int32_t id, int32_t size);
    // Sets the format of a content row.
    bool changeGS(int32_t id, const std::string& gs);
    // Sets the read mark of a record; of a class also of every record below it.
    bool changeReaded(int32_t id, bool readed);
    // mask >= 0: attr OR mask; mask < 0: attr AND mask (-4097 clears the password flag).
    bool changeAttr(int32_t id, int32_t mask);
    // Renames a record; a title longer than the title limit is cut to it.
    bool changeBT(int32_t id, const std::string& title);
    // The id of a random content row, of format gs when not empty; 0 when 100 draws found none.
    int32_t randomIdx(const std::string& gs);
    // The decoded bytes of a stored picture for the image loader; empty when there is none.
    Bytes loadImg(int32_t id);
    // Shows a stored picture in box: modes 1 and 2 scaled to the box, 3 and 4 at its own size,
    // other modes show nothing. False (box unchanged) when the record has no content.
    bool showpic(int32_t id, PictureBox& box, int32_t loaderOption, int16_t mode);

    // Adding and rewriting records. New records get the last id + 1; titles are cut to the
    // title limit; content is the document's own bytes, stored as content always is
    // (compression tried for every format). Results: the record's id, 0 on failure.
    int32_t insertRec(int32_t pid, const std::string& title, const std::string& gs, Bytes content,
                      int32_t attr = 0, engine::Date dt = {});
    // Rewrites an existing document: title, attributes, format and content.
    bool updateRec(int32_t id, const std::string& title, int32_t attr, const std::string& gs,
                   Bytes content);
    // A file as a document under pid: title from the file name, format gs or the extension.
    // Link formats store their target; asLink stores format "lnk" with the file's full name;
    // "txt" files in UTF-16 or UTF-8 are stored in code page 936. The file's date is kept.
    int32_t insertFile(int32_t pid, const std::string& fileName, const std::string& gs = "",
                       bool asLink = false);
    bool updateFile(int32_t id, const std::string& fileName, const std::string& gs = "");
    bool updateBinData(int32_t id, Bytes content);
    // As the insert operations, rewriting the child of pid that has the title when one exists.
    int32_t insertOrUpdateFile(int32_t pid, const std::string& fileName, const std::string& gs = "",
                               bool asLink = false);
    int32_t insertOrUpdateBin(int32_t pid, const std::string& title, const std::string& gs,
                              Bytes content);
    int32_t insertOrUpdateRec(int32_t pid, const std::string& title, const std::string& gs,
                              Bytes content, int32_t attr = 0, engine::Date dt = {});
    // A document holding text (UTF-8, stored in code page 936).
    int32_t insertNRBT(int32_t pid, const std::string& title, const std::string& text,
                       const std::string& gs = "txt");

    // Classes. insertPathBT returns the child class of that title, made when missing;
    // insertPath does so for each part of a "\"- or "/"-separated path.
    int32_t insertPathBT(const std::string& title, int32_t pid);
    int32_t insertPath(const std::string& path, int32_t pid);
    // Renames a class; false for a document.
    bool renamePathBT(int32_t id, const std::string& title);
    // Moves a record under the class newPid; false when newPid is no class or lies inside id.
    bool changePid(int32_t id, int32_t newPid);
    // Moves a record into the sibling class of that title, made when missing.
    bool changeToSubPath(int32_t id, const std::string& classTitle);

    // A file or folder an import could not take, and why.
    struct ImportProblem {
        std::string path, reason;
    };
    // Imports a folder tree below pid in one transaction: classes for folders, documents for
    // files (a title that exists is rewritten), "Importing: " and the file name through
    // showMsg. Unreadable files, symbolic links that loop and names that cannot be read are
    // skipped and listed in problems. Returns the number of documents stored, -1 when the
    // library could not be written (nothing of the import is then kept).
    int32_t insertOrUpdateDirs(const std::string& folder, int32_t pid,
                               std::vector<ImportProblem>* problems = nullptr);
    // Imports a folder as a new class of its name below pid; the class id, 0 on failure.
    int32_t loadFromFileLX(const std::string& folder, int32_t pid,
                           std::vector<ImportProblem>* problems = nullptr);

    // Deleting. The root is never deleted.
    bool deleteRec(int32_t id);        // a document, or a class without children
    bool deletePath(int32_t id);       // a class with everything below it
    int32_t deleteRecPid(int32_t pid); // everything below a class; the number of records
    bool deleteNRRecWithBT(int32_t pid, const std::string& title);  // a document by title
    // Deletes the classes below pid that hold no document at any depth, reporting
    // "<title> deleted."; the number deleted.
    int32_t delNullPath(int32_t pid);

    bool btExist(int32_t pid, const std::string& title);
    bool pathExist(int32_t pid, const std::string& title);
    bool isMyBrother(int32_t id1, int32_t id2);
    // Whether id lies below ancestor (at any depth).
    bool isMyChild(int32_t id, int32_t ancestor);

    // Joins the text documents of class pid into one new document titled title; asks "New Doc
    // Existed, Overwrite It?" when it exists. The new id, 0 when nothing was made.
    int32_t combineNR(int32_t pid, const std::string& title);

    // Text replacement with a rule table (one "find\#/replace" rule a line, see clsStrOP).
    void setSrcRep(const std::string& rules);
    bool s_replaceStrNR(int32_t id);
    int32_t replaceStrLX(int32_t pid);     // the text documents of the class
    int32_t replaceStrLXsub(int32_t pid);  // ... and of every class below it

    // Exporting. saveToFile writes a document's decoded content; saveToFileLX writes a class as
    // a folder tree (documents as title.format), reporting "Exporting: <title>......".
    bool saveToFile(int32_t id, const std::string& fileName);
    int32_t saveToFileLX(int32_t id, const std::string& folder);
    // Copies class id with everything below it into another library file (made when missing).
    int32_t saveToDBLX(int32_t id, const std::string& fileName);
    // Copies class id with everything below it under targetPid of another open store; the
    // number of documents, reported as "<n> docs imported.".
    int32_t pasteLXTo(int32_t id, ctreebook& target, int32_t targetPid);
    // Copies every class and document of this library under targetPid of another store.
    int32_t mergeBookTo(ctreebook& target, int32_t targetPid);
    // The record at a "\"- or "/"-separated path of titles below pid; 0 when there is none.
    int32_t getIDByPath(const std::string& path, int32_t pid = 1);

    // A copy of the whole library, record by record with the same ids, in a new file.
    bool dupicateDB(const std::string& fileName);
    int32_t saveAllRecToRS(ctreebook& target);   // main rows ("Saving Primary Table: ")
    int32_t saveAllRecToRS2(ctreebook& target);  // content rows ("Saving Data Table: ")
    bool saveRec(ctreebook& target);   // the current main row, same id
    bool saveRec2(ctreebook& target);  // the current content row, stored form unchanged

    // The two notes of a record.
    bool insertNode1(int32_t id, const Bytes& note, const std::string& gs);
    bool insertNode2(int32_t id, const std::string& note);
    bool getNode1(int32_t id, Bytes& note, std::string& gs);
    std::string getNode2(int32_t id);

    // Writes the decoded content to a temporary file and opens it with the desktop.
    bool showShell(int32_t id);
    // What is wrong with the stored content of document id: "" when it inflates to its size
    // and matches its checksum, else the problem in plain words ("no content row", ...).
    std::string checkNR(int32_t id);

    // ---- Passwords (passwords.cpp) ----

    // How the owner asks the user for passwords (askPassword, changePassword).
    PasswordPrompts passwordPrompts;
    // The password to ask before class id (0: the library) is opened, or "ok" when none is
    // needed: no password, or it was given since the library was opened.
    std::string getPasswd(int32_t id);
    // Remembers that the password of id was given, until another library is opened.
    void setPasswdCheckOK(int32_t id);
    // Sets the password of class id (0: the library); "ok" removes it.
    bool putPasswd(const std::string& password, int32_t id);
    // Removes the password flag from every record.
    bool unpasswordedAllPath();

    // Runs work in one transaction (joining one that is already running); an engine error or
    // a false result rolls it back. The result of work, false after an error. Several
    // operations joined in one call are kept or undone together.
    bool inTransaction(const std::function<bool()>& work);

private:
    // Sets Msg and raises showMsg; true when the owner set the answer.
    bool report(const std::string& message);
    // Adds a main row (and a content row holding content, when given); the new id.
    int32_t addRecord(int32_t pid, const std::string& title, bool isClass, int32_t attr,
                      engine::Date dt, const std::string* gs, Bytes* content);
    // Replaces the content row of id (made when missing) with content in its stored form.
    void writeContent(int32_t id, const std::string& gs, Bytes& content);
    // Deletes the main and content rows and the note of id.
    void deleteRows(int32_t id);
    // The document child of pid with that title (as stored, cut to the title limit) and
    // format; 0 when none.
    int32_t documentChild(int32_t pid, const std::string& title, const std::string& gs);
    // The class child of pid with that title; 0 when none.
    int32_t classChild(int32_t pid, const std::string& title);
    // Writes a main row or a content row (content in its stored form) under id: the row of
    // that id is replaced, or added; the last-id counter follows.
    void putTreeRow(int32_t id, int32_t pid, const TreeRecord& rec);
    void putContentRow(int32_t id, const ContentRecord& rec);
    // Copies class id with everything below it under targetPid of target (withSelf false:
    // only what is below it); the number of documents copied.
    int32_t copyClassTo(int32_t id, ctreebook& target, int32_t targetPid, bool withSelf);
    // Copies every main row (or every content row) to target under the same ids, reporting each.
    int32_t saveAllRows(bool content, ctreebook& target);
    int32_t importFolder(const std::string& folder, int32_t pid, std::set<std::string>& seen,
                         std::vector<ImportProblem>* problems);
    int32_t replaceInClass(int32_t pid, bool recursive);

    int transDepth_ = 0;
    clsStrOP strOP_;  // the replacement rules of setSrcRep

private:
    // One row of a children walk on the pid index.
    struct ChildRow {
        int32_t id = 0;
        bool path = false;
        std::string bt;  // as stored
        bool readed = false;
        int32_t size = 0;
        engine::Date dt;
    };
    // The children of pid in id order; full also reads title, read mark, size and date.
    std::vector<ChildRow> children(int32_t pid, bool full);
    // Calls visit for id and, when recursive, every class below it: parents before children,
    // children in id order, each class once (depth 0 is id itself). kids are the class's
    // children as children(classId, full) gives them.
    using ClassVisit =
        std::function<void(int32_t classId, int depth, const std::vector<ChildRow>& kids)>;
    void eachClassBelow(int32_t id, bool recursive, bool full, const ClassVisit& visit);
    // The parent chain of id: id, its parent, ... while > 0, stopping at a repeated id.
    std::vector<int32_t> parentChain(int32_t id);

    // Runs a long read inside one transaction where the engine allows it, so that its many
    // statements share one look at the file; inside a running transaction it just runs.
    void readSpan(const std::function<void()>& work);
    // The lookup rule: the field of record id in rs, Null when closed, missing or failing.
    engine::Value fieldByID(engine::Recordset* rs, int32_t id, const char* field);
    // A field of the content recordset's current row; Null at either end or when closed.
    engine::Value currentContentField(const char* field);
    // The single-field change rule: seek id on primaryKey, Edit, set, Update.
    bool setFieldByID(engine::Recordset* rs, int32_t id, const char* field, const engine::Value& v);
    // Positions rs on record id by primaryKey; false when missing.
    static bool seekID(engine::Recordset& rs, int32_t id);
    // As seekID, for ids asked in ascending order (the children of a class): a few steps
    // forward from the current row usually reach the record without a seek.
    static bool seekIDForward(engine::Recordset& rs, int32_t id);
    // Reads and decodes the current content row; 0 (bytes unchanged) for none or a bad row.
    int32_t decodeCurrentNR(Bytes& bytes);
    // Scrambles, checksums and (when compress) compresses content into its stored form.
    void toStoredForm(Bytes& bytes, int32_t n, bool compress, int32_t& crc, bool& zed);
    // Converts the decoded content of id with convert and stores it when not empty.
    bool rewriteContent(int32_t id, const std::function<bool(Bytes&)>& convert);
    // The rows of btToListView; their number.
    int32_t fillList(ListControl& list, int32_t pid);
    // Adds one search result row; parentPath is the class path of the record's parent.
    static void addSearchRow(ListControl& list, int32_t id, const std::string& title,
                             const std::string& parentPath);
    // candidates: when given, the only documents that may match (ascending ids).
    void searchClassContent(const Bytes& key, ListControl& list, int32_t classId,
                            const std::vector<ChildRow>& kids, const std::string& format,
                            const std::vector<int32_t>* candidates, int32_t& count);
    std::string titleSearchQuery(const std::string& key, bool forClasses) const;
    std::string reportSearch(const std::string& key, bool forClasses);
    int32_t findChild(int32_t pid, const std::function<bool(const ChildRow&)>& accept);
    void closeRecordsets();
    bool createTreeTable(engine::Database& db, const std::string& name);
    bool createNrTable(engine::Database& db, const std::string& name);
    bool createNoteTable(engine::Database& db, const std::string& name);
    void moveNextOn(engine::Recordset& rs);
    void movePreviousOn(engine::Recordset& rs);

    std::unique_ptr<engine::Database> db_;
    std::unique_ptr<engine::Recordset> rs_;
    std::unique_ptr<engine::Recordset> nrRS_;
    std::unique_ptr<engine::Recordset> noteRS_;
    std::string dbName_;
    std::string tabName_ = "tree";
    std::string nrTabName_ = "nr";
    std::string noteTabName_ = "note";
    bool noteAvailable_ = false;
    bool open_ = false;
    bool readOnlyOpen_ = false;
    bool zed_ = true;
    engine::Bookmark firstBookmark_;
    engine::Bookmark firstBookmarkNR_;
    int32_t lastId_ = 0;
    int titleLimit_ = 100;
    // Classes whose password was given since the library was opened; none after closeDB.
    std::optional<std::set<std::string>> passwdChecked_;
    int32_t ihwnd_ = 0;
    std::string msg_;
    TreeRecord currRec_;
    ContentRecord currNR_;

    struct ImgEntry {
        IconProvider* provider = nullptr;
        std::string path;
        int type = 0;
    };
    std::map<int, ImgEntry> imgLists_;
    ZlibCompressor zlib_;
    clsFilePath files_;
    ContentCandidates contentCandidates_;
    int imgSize_ = 16;
};

}  // namespace store
