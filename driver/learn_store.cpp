// Storing a finished search in the learning file.
#include "driver/learn_store.h"

void learn_store(uint8_t /*side*/, const Move& /*best*/) {}
