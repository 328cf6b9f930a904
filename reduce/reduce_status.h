#pragma once
// How a reduction ended.
enum class ReduceStatus { Ok, OutOfMemory, NoPalette, Aborted };
