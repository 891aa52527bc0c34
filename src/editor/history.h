#pragma once
// The structure the editor holds and its undo history. Every change goes
// through a Transaction, which applies it at once and records what it
// replaced; when the transaction ends its changes become one undo step, so
// that one user action is one step by construction. Nothing else can write
// the structure: the history hands it out read-only.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "model/structure_data.h"

namespace vanto::editor {

// The tables a typed value can go to. Loads and the load fields of Bars are
// those of a load case: case 1 is the structure's own tables.
enum class Tab { Coordinates, Loads, Restraints, Bars, Types };

class EditHistory {
  public:
    explicit EditHistory(Structure data);

    const Structure& data() const { return data_; }
    // A value of a table as Transaction::set addresses it.
    float value(Tab t, int row, int col, int loadCase = 1) const;

    // Undo and redo of one step; false when there is none.
    bool undo();
    bool redo();
    bool canUndo() const { return position_ > 0; }
    bool canRedo() const { return position_ < steps_.size(); }

  private:
    friend class Transaction;

    // One change of the structure, with what it replaced.
    struct Change {
        enum class Kind { Value, TypeName, AddNode, AddBar, RemoveBar, Cases } kind;
        Tab table = Tab::Bars;  // for Value
        int row = 0, col = 0;
        int loadCase = 1;  // for Value
        float before = 0, after = 0;
        std::string nameBefore{}, nameAfter{};
        std::vector<float> record{};    // the node's coordinates, the bar's nodes or row
        std::vector<float> caseRows{};  // a removed bar's loads in cases 2..N
        // The load cases and combinations before and after, for Cases.
        std::shared_ptr<const LoadCases<float>> casesBefore{}, casesAfter{};
    };
    using Step = std::vector<Change>;

    // The table of a value: for a case k ≥ 2, its own node and bar loads
    // (`col` is then turned into the column there).
    Table<float>& table(Tab t, int loadCase, int& col);
    void apply(const Change& c, bool forward);
    void insertBar(int k, const std::vector<float>& record, const std::vector<float>& caseRows);
    void eraseBar(int k);
    void push(Step step);

    Structure data_;
    std::vector<Step> steps_;
    std::size_t position_ = 0;
};

// One user action's changes. Each call applies its change at once; the
// destructor records them all as one undo step (none when nothing changed).
class Transaction {
  public:
    explicit Transaction(EditHistory& history) : history_(history) {}
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    const Structure& data() const { return history_.data(); }

    // A value of the table (item row, field col) in load case `loadCase`; the
    // same value is no change.
    void set(Tab table, int row, int col, float value, int loadCase = 1);
    // The load cases and combinations as a whole: adding, renaming or
    // removing a case, editing the combinations.
    void setCases(LoadCases<float> cases);
    void setTypeName(int type, const std::string& name);
    // Appends a node, free and unloaded; returns its number.
    int addNode(float x, float y, float z);
    // Appends a bar from a to b of type 1, both ends fixed, no angle or loads;
    // returns its number.
    int addBar(int a, int b);
    // Removes bar k with its loads in every load case; the later bars move
    // down by one.
    void removeBar(int k);

  private:
    void record(EditHistory::Change c);

    EditHistory& history_;
    EditHistory::Step step_;
};

}  // namespace vanto::editor
