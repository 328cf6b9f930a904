#include "reduce/reduce_filter.h"

// Placeholder until colour reduction lands: the reduced image stays as it is.
void DoFilter() {}
