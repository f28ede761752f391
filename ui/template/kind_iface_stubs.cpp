// Placeholders for kinds not built yet: delete a kind's line when it lands.
#include <stdint.h>
