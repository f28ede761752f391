// Placeholder until the component-kind table is written (delete then).
#include <stdint.h>
extern const void* const lib1_kind_table = nullptr;
extern const uint32_t lib1_kind_count = 0;
