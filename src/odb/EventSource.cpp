// The data sets' event source (its signals are generated from the header).
#include "odb/EventSource.h"
