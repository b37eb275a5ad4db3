#pragma once
// The type letters of dBase fields and the column meta types that the kit's designer marks in a
// field descriptor.

#include <cstdint>

namespace qx::dbase {

// DBASE_TYPE: a field's type letter as its descriptor stores it. Files may hold other letters;
// they are carried through unchanged (the enum's underlying byte can hold any value).
enum class DbaseType : uint8_t {
    kCharacter = 'C',
    kDate = 'D',
    kPicture = 'G',
    kLogical = 'L',
    kMemo = 'M',
    kNumeric = 'N',
};

// ColMetaType: 0..254 as the designer marked it, or kNoColMetaType when the descriptor carries
// no 'M','X','Q' marker.
using ColMetaType = uint8_t;
inline constexpr ColMetaType kNoColMetaType = 255;

// The marker at bytes 13..15 of a descriptor that makes byte 12 a ColMetaType.
inline constexpr uint8_t kMetaMarker[3] = {'M', 'X', 'Q'};

}  // namespace qx::dbase
