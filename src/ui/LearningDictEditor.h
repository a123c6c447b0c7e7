#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/Outcome.h"
#include "base/Person.h"
#include "data/DatabaseChangeWatch.h"
#include "data/LearningCatalog.h"
#include "data/LearningSearch.h"
#include "data/LearningTable.h"
#include "data/OperationStarter.h"

namespace mrk2::ui {

enum class OwnerOption { None, Local, Common };  // optLocalUser / optCommonUser
enum class LevelOption { None, City, Town };     // optCity / optTown

// The entry controls of the editor: the three bound text boxes, the owner and
// level options and the text of cmbDbID (enabled exactly when Local is chosen).
struct LearningEntryForm {
    std::string registered;   // txtRegister
    std::string transformed;  // txtTransform
    std::string refCount;     // txtRefNo
    OwnerOption owner = OwnerOption::None;
    std::string dbName;  // cmbDbID
    LevelOption level = LevelOption::None;
};

// The learning dictionary editor without its window: the shown record set (the
// ids of the rows an SQL text over 学習 returned), the current position, the
// entry form and the button actions. Each action opens the base database for the
// moment it needs it, so the file may be replaced between actions (the postal
// build does that) without the editor writing into a stale copy.
class LearningDictEditor {
  public:
    LearningDictEditor(std::string baseDbPath, Person& person);

    // Opening: fills the database lists from ＤＢ一覧. Failed when it could not
    // (told as description(number)); the lists keep what was read.
    Outcome loadCatalog();
    const LearningCatalog& catalog() const { return catalog_; }

    // Rebinds to a query: count, first entry, ShowRecordNo, ShowUserAndType.
    // A failing query is reported and leaves an empty set.
    void bind(const LearningQuery& query);
    // "select * from 学習".
    void activate() { bind(allLearningEntries()); }
    const std::string& baseDbPath() const { return path_; }

    // Whether what the editor shows is still what the base database at `path`
    // holds: the same path, and no change on disk since the editor last read or
    // wrote it. False before the first binding.
    bool isCurrent(const std::string& path);
    // Catches up with the base database at `path` (settle edits first): the
    // catalog is read again; another base database shows all its entries, the
    // same one runs the shown query again and stays on the shown entry while it
    // is still there.
    void follow(const std::string& path);
    // cmdSearch.
    void search(const LearningSearch& search) { bind(buildLearningQuery(search, catalog_)); }
    // Whether a set was bound yet: before the window first shows, it is not.
    bool bound() const { return bound_; }

    // Completeness of the form ("全項目を設定して下さい。"); a reference count that
    // is not a count is refused as well, since the column stores a number.
    // Refused, and told, when the form is not complete.
    Outcome checkInput();
    // Writes the form into the current entry (a new entry is added) through the
    // writers' starter. Refused with nothing told when no entry is shown;
    // otherwise a refusal or failure is told.
    Outcome saveRecord();

    void moveFirst();      // cmdFirst
    void moveLast();       // cmdLast
    void moveNext();       // cmdNext
    void movePrevious();   // cmdPrev
    void addNew();         // cmdNew
    void deleteCurrent();  // cmdDelete

    // Before the form would be replaced (a search, an activation, closing): when
    // the operator changed the shown entry, asks "変更を保存しますか？". Yes saves
    // after the check, No drops the changes; false means stay where you are.
    bool settleEdits();

    // The window reports every change the operator makes to the entry controls.
    void markEdited() { edited_ = true; }
    bool edited() const { return edited_; }

    LearningEntryForm& form() { return form_; }
    const LearningEntryForm& form() const { return form_; }

    std::int32_t currentPos() const { return currentPos_; }
    std::int32_t recordCount() const { return recordCount_; }
    std::string recordNoText() const;   // lblRecordNo
    std::string recordNumText() const;  // lblRecordNum
    bool isNewEntry() const { return adding_; }
    // Whether an entry (stored or new) is shown; false for an empty set.
    bool hasEntry() const { return hasCurrent(); }
    // fldID of the shown entry; nullopt for a new entry or an empty set.
    std::optional<std::int64_t> currentId() const;
    const std::string& queryText() const { return query_.text; }

  private:
    bool hasCurrent() const { return currentPos_ >= 0 && currentPos_ < recordCount_; }
    void moveTo(std::int32_t pos);
    void loadForm();  // the text boxes show the current entry
    void showUserAndType();
    void report(const std::exception& e);
    Outcome told(const Outcome& outcome);  // tells its report, returns it
    LearningValues formValues() const;     // throws Refusal for a count that is none
    // A write of 学習 through the writers' starter, with the base database open.
    Outcome startChange(const WriterOperation::Check& check,
                        const std::function<void(Database&)>& change);

    std::string path_;
    Person& person_;
    LearningCatalog catalog_;
    std::vector<std::int64_t> ids_;
    bool adding_ = false;  // a new entry, not yet written, stands after ids_
    std::int32_t currentPos_ = 0;
    std::int32_t recordCount_ = 0;
    std::optional<LearningEntry> current_;
    LearningEntryForm form_;
    bool edited_ = false;
    LearningQuery query_;
    bool bound_ = false;
    // What the editor has read or written itself does not count as a change.
    DatabaseChangeWatch watch_;
};

}  // namespace mrk2::ui
