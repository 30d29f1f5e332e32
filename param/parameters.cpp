#include "param/parameters.h"

namespace Corvantis {
namespace Host {
namespace Param {

namespace {

// Closes the group that RecordAll opened, also when recording throws.
class GroupScope {
public:
    explicit GroupScope(Parameters& params) : params_(params) { params_.BeginGroup(); }
    ~GroupScope() { params_.EndGroup(); }
    GroupScope(const GroupScope&) = delete;
    GroupScope& operator=(const GroupScope&) = delete;

private:
    Parameters& params_;
};

}  // namespace

Parameters::~Parameters() = default;

void Parameters::ResetToDefaults() {
    for (Parameter& p : parameters)
        p.value = p.defaultValue;
}

void Parameters::RecordChange(std::uint64_t index) {
    if (index >= parameters.size())
        return;
    redo.clear();
    if (groupDepth <= 0 || undo.empty())
        undo.emplace_front();
    // emplace keeps an entry already there: the first old value of a step wins.
    undo.front().emplace(index, parameters[static_cast<std::size_t>(index)].value);
}

void Parameters::BeginGroup() {
    ++groupDepth;
    undo.emplace_front();
}

void Parameters::EndGroup() {
    --groupDepth;
    if (groupDepth <= 0)
        SettleHistory();
}

void Parameters::SettleHistory() {
    groupDepth = 0;
    if (!undo.empty() && undo.front().empty())
        undo.pop_front();
}

void Parameters::RecordAll() {
    GroupScope group(*this);
    for (std::uint64_t i = 0; i < parameters.size(); ++i)
        RecordChange(i);
}

void Parameters::ApplySnapshot(const Snapshot& snapshot, bool toRedo) {
    Snapshot inverse;
    for (const auto& entry : snapshot) {
        if (entry.first >= parameters.size())
            continue;
        ParameterValue& current = parameters[static_cast<std::size_t>(entry.first)].value;
        inverse.emplace(entry.first, current);
        current = entry.second;
    }
    if (inverse.empty())
        return;
    (toRedo ? redo : undo).push_front(std::move(inverse));
}

bool Parameters::Undo() {
    SettleHistory();
    if (undo.empty())
        return false;
    ApplySnapshot(undo.front(), true);
    undo.pop_front();
    return true;
}

bool Parameters::Redo() {
    SettleHistory();
    if (redo.empty())
        return false;
    ApplySnapshot(redo.front(), false);
    redo.pop_front();
    return true;
}

}  // namespace Param
}  // namespace Host
}  // namespace Corvantis
