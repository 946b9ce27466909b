// Support containers for the writing side: growable heap storage and texts.
#pragma once

#include "support/heap_buffer.h"
#include "support/text_buffer.h"
