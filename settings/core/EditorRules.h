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

// Moving the item at `position` of a list of `count` items one place up or down. The copy is
// put in while the item is still there, and the item taken out only once the copy is in, so
// that a copy which cannot be inserted loses nothing: insertAfter is the position, in the
// list as it stands, after which the copy goes (-1: it becomes the first item), newPosition
// where it is once the item is gone. At either end the copy goes directly after the item,
// so the list stays as it was. A move that cannot happen (no such item) leaves `valid` false.
struct MovePlan {
    bool valid;
    int insertAfter; // position in the list with the moved item still in it; -1 for "first"
    int newPosition;
};
MovePlan PlanMoveUp(int position, int count);
MovePlan PlanMoveDown(int position, int count);

} // namespace corvina
