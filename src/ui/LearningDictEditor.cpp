#include "ui/LearningDictEditor.h"

#include <string>

#include "base/Error.h"
#include "base/ErrorReport.h"
#include "base/Paths.h"
#include "data/Database.h"

namespace mrk2::ui {

namespace {

const char* const kIncomplete = "全項目を設定して下さい。";
const char* const kAskSave = "変更を保存しますか？";

}  // namespace

LearningDictEditor::LearningDictEditor(std::string baseDbPath, Person& person)
    : path_(std::move(baseDbPath)), person_(person) {}

void LearningDictEditor::report(const std::exception& e) {
    reportError(person_, e);
}

Outcome LearningDictEditor::told(const Outcome& outcome) {
    tellOutcome(person_, outcome);
    return outcome;
}

Outcome LearningDictEditor::startChange(const WriterOperation::Check& check,
                                        const std::function<void(Database&)>& change) {
    WriterOperation op;
    op.dbDir = dirNameOf(path_);
    op.check = check;
    op.run = [&](StopControl&, ProgressSink&) {
        Database db = Database::open(path_);
        change(db);
        return Outcome::completed();
    };
    const Outcome outcome = startWriterOperation(op, person_);
    // The editor's own write is no change from outside.
    if (outcome.succeeded())
        watch_.accept(path_);
    return outcome;
}

Outcome LearningDictEditor::loadCatalog() {
    catalog_ = {};
    try {
        loadLearningCatalog(path_, catalog_);
        watch_.accept(path_);
        return Outcome::completed();
    } catch (const std::exception& e) {
        return told(failure(e));
    }
}

void LearningDictEditor::bind(const LearningQuery& query) {
    query_ = query;
    bound_ = true;
    ids_.clear();
    adding_ = false;
    try {
        Database db = Database::open(path_);
        ids_ = selectLearningIds(db, query.condition, query.pattern);
    } catch (const std::exception& e) {
        ids_.clear();
        report(e);
    }
    watch_.accept(path_);
    recordCount_ = static_cast<std::int32_t>(ids_.size());
    moveTo(0);
}

bool LearningDictEditor::isCurrent(const std::string& path) {
    return bound_ && path == path_ && !watch_.changed();
}

void LearningDictEditor::follow(const std::string& path) {
    const bool sameDb = bound_ && path == path_;
    const std::optional<std::int64_t> shown = currentId();
    path_ = path;
    loadCatalog();
    if (!sameDb) {
        activate();
        return;
    }
    bind(query_);
    for (std::size_t i = 0; shown && i < ids_.size(); ++i) {
        if (ids_[i] == *shown) {
            moveTo(static_cast<std::int32_t>(i));
            break;
        }
    }
}

std::optional<std::int64_t> LearningDictEditor::currentId() const {
    if (!hasCurrent() || adding_)
        return std::nullopt;
    return ids_[static_cast<std::size_t>(currentPos_)];
}

std::string LearningDictEditor::recordNoText() const {
    return "No. " + std::to_string(currentPos_ + 1);
}

std::string LearningDictEditor::recordNumText() const {
    return std::to_string(recordCount_) + " 件";
}

void LearningDictEditor::moveTo(std::int32_t pos) {
    currentPos_ = pos;
    loadForm();
    showUserAndType();
    edited_ = false;
}

void LearningDictEditor::loadForm() {
    current_.reset();
    if (hasCurrent()) {
        if (adding_) {
            current_ = LearningEntry{};
        } else {
            try {
                Database db = Database::open(path_);
                current_ = readLearningEntry(db, ids_[static_cast<std::size_t>(currentPos_)]);
            } catch (const std::exception& e) {
                report(e);
            }
        }
    }
    // Without a current entry the text boxes show nothing, as bound boxes do.
    const LearningEntry blank;
    const LearningEntry& e = current_ ? *current_ : blank;
    form_.registered = e.registered.value_or("");
    form_.transformed = e.transformed.value_or("");
    form_.refCount = e.refCount.value_or("");
}

void LearningDictEditor::showUserAndType() {
    if (!hasCurrent())
        return;
    const LearningEntry blank;
    const LearningEntry& e = current_ ? *current_ : blank;
    std::int64_t d = effectiveDbNo(e);
    if (d != 0) {
        form_.owner = OwnerOption::Local;
        // An owner the catalog does not list shows no name. Keeping the name of
        // the entry shown before would show it as this entry's owner, and the
        // next move would write that region's id into the entry.
        int i = catalog_.findIdIndex(d);
        form_.dbName = i >= 0 ? catalog_.names[static_cast<std::size_t>(i)] : std::string();
    } else {
        form_.owner = OwnerOption::Common;
        form_.dbName.clear();
    }
    form_.level = effectiveType(e) == kLevelCity ? LevelOption::City : LevelOption::Town;
}

Outcome LearningDictEditor::checkInput() {
    const LearningEntryForm& f = form_;
    if (f.transformed.empty() || f.registered.empty() || f.refCount.empty() ||
        f.owner == OwnerOption::None || f.level == LevelOption::None)
        return told(failure(Refusal(kIncomplete)));
    if (!parseRefCount(f.refCount))
        return told(failure(Refusal(kRefCountNotNumber)));
    return Outcome::completed();
}

LearningValues LearningDictEditor::formValues() const {
    std::optional<std::int64_t> count = parseRefCount(form_.refCount);
    if (!count)
        throw Refusal(kRefCountNotNumber);
    LearningValues v;
    v.registered = form_.registered;
    v.transformed = form_.transformed;
    v.refCount = *count;
    if (form_.owner == OwnerOption::Common) {
        v.dbNo = 0;
    } else {
        // A name typed into the list that the catalog does not know leaves the
        // owner as it was.
        int i = catalog_.findComboIndex(form_.dbName);
        if (i >= 0)
            v.dbNo = std::stoll(catalog_.idList[static_cast<std::size_t>(i)]);
    }
    if (form_.level == LevelOption::City)
        v.type = kLevelCity;
    else if (form_.level == LevelOption::Town)
        v.type = kLevelTown;
    return v;
}

Outcome LearningDictEditor::saveRecord() {
    LearningValues v;
    const auto check = [&](Person&) {
        // Nothing shown: nothing to save, and nothing to tell.
        if (!hasCurrent())
            return Outcome{Outcome::Kind::Refused, {}, {}};
        v = formValues();
        return Outcome::completed();
    };
    const Outcome outcome = startChange(check, [&](Database& db) {
        std::size_t pos = static_cast<std::size_t>(currentPos_);
        if (adding_) {
            ids_.push_back(insertLearningEntry(db, v));
            adding_ = false;
        } else if (!updateLearningEntry(db, ids_[pos], v)) {
            // Someone removed the row meanwhile (mrk2cli learn delete): the
            // operator's entry is written anew rather than lost.
            ids_[pos] = insertLearningEntry(db, v);
        }
        current_ = readLearningEntry(db, ids_[pos]);
    });
    if (outcome.succeeded())
        edited_ = false;
    return outcome;
}

void LearningDictEditor::moveFirst() {
    if (checkInput().succeeded() && saveRecord().succeeded())
        moveTo(0);
}

void LearningDictEditor::moveLast() {
    if (checkInput().succeeded() && saveRecord().succeeded())
        moveTo(recordCount_ - 1);
}

void LearningDictEditor::moveNext() {
    if (checkInput().succeeded() && currentPos_ < recordCount_ - 1 && saveRecord().succeeded())
        moveTo(currentPos_ + 1);
}

void LearningDictEditor::movePrevious() {
    if (checkInput().succeeded() && currentPos_ > 0 && saveRecord().succeeded())
        moveTo(currentPos_ - 1);
}

void LearningDictEditor::addNew() {
    // With no entry shown there is nothing to check or save; the first entry of
    // an empty dictionary must be possible.
    if (hasCurrent() && !(checkInput().succeeded() && saveRecord().succeeded()))
        return;
    adding_ = true;
    currentPos_ = recordCount_;
    ++recordCount_;
    moveTo(currentPos_);
    form_.refCount = "1";
}

void LearningDictEditor::deleteCurrent() {
    // Nothing shown, nothing to delete.
    if (!hasCurrent())
        return;
    if (adding_) {
        adding_ = false;
    } else {
        std::size_t pos = static_cast<std::size_t>(currentPos_);
        if (!startChange({}, [&](Database& db) { deleteLearningEntry(db, ids_[pos]); }).succeeded())
            return;
        ids_.erase(ids_.begin() + static_cast<std::ptrdiff_t>(pos));
    }
    --recordCount_;
    if (currentPos_ < recordCount_) {
        moveTo(currentPos_);
    } else if (recordCount_ > 0) {
        moveTo(recordCount_ - 1);
    } else {
        // The set is empty now: show it as an empty dictionary is shown.
        moveTo(0);
    }
}

bool LearningDictEditor::settleEdits() {
    if (!edited_ || !hasCurrent())
        return true;
    switch (person_.askYesNoCancel(kAskSave)) {
        case Answer::Yes:
            return checkInput().succeeded() && saveRecord().succeeded();
        case Answer::No:
            edited_ = false;
            return true;
        case Answer::Cancel:
            break;
    }
    return false;
}

}  // namespace mrk2::ui
