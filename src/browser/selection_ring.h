// The ring of recent selections behind "Roll Back Selection": 20 usable slots (1..20; slot 0
// is never written), each a record id and the caret position in the text pane.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace browser {

class SelectionRing {
public:
    static constexpr int kSlots = 21;

    struct Slot {
        int32_t id = 0;  // 0: empty
        int position = 0;
    };

    // Writes the next slot (after 20 comes 1 again) and makes it the current one.
    void push(int32_t id, int position);
    // Every slot holding id gets the position.
    void recordPosition(int32_t id, int position);
    // Steps the current slot back (before 1 comes the last filled slot) and answers it; nothing
    // when fewer than two slots are filled.
    std::optional<Slot> rollBack();
    // The id of the current slot (0 when none).
    int32_t currentId() const { return slots_[current_].id; }

private:
    std::array<Slot, kSlots> slots_{};
    int write_ = 0;
    int current_ = 0;
};

}  // namespace browser
