#include "renderer/cell_table.h"

namespace kovessa {

void FillCellTable(CellTable& table) {
    for (int32_t n = 0; n < kCellCount; ++n) {
        table[n] = CellPos{CellIx(n) - 15, CellIy(n) - 12, CellIz(n) - 15};
    }
}

} // namespace kovessa
