#pragma once
// Runs the rows of an image in bands on several threads, for work whose rows do not depend on each other.
#include <cstdint>
#include <functional>

struct RowBands {
  int32_t height = 0;
  int32_t bandRows = 1;  // rows per band, at least 1
  int32_t threads = 1;   // threads that take bands, at least 1

  int32_t Count() const { return height > 0 ? (height + bandRows - 1) / bandRows : 0; }
};

// Rows per band for an image this wide: about a quarter million pixels, so that a stop is heard within a few
// milliseconds and taking a band costs nothing next to its work.
int32_t BandRowsFor(int32_t width);

// The threads worth starting: one per processor.
int32_t ReductionThreads();

// Calls band(worker, firstRow, endRow) once for every band, each band on one of the bands' threads (worker
// 0 .. threads - 1, a worker's bands one after another). The calling thread only waits and calls
// rowsDone(rows) each time bands have finished, with the rows finished so far. Once that answers false no
// further band starts; RunRowBands returns false after every thread has ended. A thread that cannot be started
// leaves its share to the others; with none at all, the calling thread does the bands itself.
bool RunRowBands(const RowBands& bands, const std::function<void(int32_t worker, int32_t first, int32_t end)>& band,
                 const std::function<bool(int32_t rows)>& rowsDone);
