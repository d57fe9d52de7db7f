// Where the selection goes and which toolbar buttons are enabled in the menu list editor.
// Positions are 0-based places in the list; -1 stands for "none".
#pragma once

namespace corvina {

// Whether "up" and "down" can be pressed for the selected position of a list of count items.
// Without a selection nothing can move.
struct MoveButtons {
    bool up;
    bool down;
};
MoveButtons MoveButtonsFor(int selected, int count);

// The position to select after the item at `deleted` was removed from a list that now holds
// `remaining` items: the item that took its place, else the new last item, else none.
int SelectionAfterDelete(int deleted, int remaining);

// Moving the item at `position` of a list of `count` items one place up or down: the item it
// is re-inserted after once it has been taken out (-1: it becomes the first item), and where
// it ends. A move that cannot happen (no such item) leaves `valid` false.
struct MovePlan {
    bool valid;
    int insertAfter; // position in the list without the moved item; -1 for "first"
    int newPosition;
};
MovePlan PlanMoveUp(int position, int count);
MovePlan PlanMoveDown(int position, int count);

} // namespace corvina
