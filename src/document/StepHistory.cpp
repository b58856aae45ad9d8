#include "StepHistory.h"

namespace lumark {

bool JoinSteps(RecordedStep& top, const RecordedStep& next) {
    top.Changes.insert(top.Changes.end(), next.Changes.begin(), next.Changes.end());
    top.Changes = NetChanges(top.Changes);
    top.Kind = StepKind::Action;  // one double click per click
    return !top.Changes.empty();
}

}  // namespace lumark
