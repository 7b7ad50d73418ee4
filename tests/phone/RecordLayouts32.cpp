// Compiled only for a 32-bit Windows target, by the record_layouts_32bit
// test: there the offset and size checks of RecordLayouts.h take effect.
#include "phone/RecordLayouts.h"

static_assert(sizeof(void*) == 4, "the layout check needs a 32-bit target");
static_assert(phone::layout_check::kThirtyTwoBit, "the layout checks are active");
