#include "settings/core/EditorRules.h"

namespace corvina {

MoveButtons MoveButtonsFor(int selected, int count) {
    if (selected < 0 || selected >= count) {
        return {false, false};
    }
    return {selected != 0, selected != count - 1};
}

int SelectionAfterDelete(int deleted, int remaining) {
    if (remaining <= 0 || deleted < 0) {
        return -1;
    }
    return deleted < remaining ? deleted : remaining - 1;
}

MovePlan PlanMoveUp(int position, int count) {
    if (position < 0 || position >= count) {
        return {false, -1, -1};
    }
    // The first item has nowhere to go.
    if (position == 0) {
        return {true, 0, 0};
    }
    return {true, position - 2, position - 1};
}

MovePlan PlanMoveDown(int position, int count) {
    if (position < 0 || position >= count) {
        return {false, -1, -1};
    }
    // The last item stays last.
    if (position == count - 1) {
        return {true, position, position};
    }
    return {true, position + 1, position + 1};
}

} // namespace corvina
