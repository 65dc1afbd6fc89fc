#include "browser/selection_ring.h"

namespace browser {

void SelectionRing::push(int32_t id, int position) {
    write_ = write_ + 1 > kSlots - 1 ? 1 : write_ + 1;
    slots_[write_] = {id, position};
    current_ = write_;
}

void SelectionRing::recordPosition(int32_t id, int position) {
    for (int i = 1; i < kSlots; ++i)
        if (slots_[i].id == id) slots_[i].position = position;
}

std::optional<SelectionRing::Slot> SelectionRing::rollBack() {
    int filled = 0;
    while (filled + 1 < kSlots && slots_[filled + 1].id != 0) ++filled;
    if (filled < 2) return std::nullopt;
    current_ = current_ - 1 < 1 ? filled : current_ - 1;
    return slots_[current_];
}

}  // namespace browser
