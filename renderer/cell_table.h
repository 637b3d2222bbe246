#pragma once

#include <array>
#include <cstdint>

// The invisible lattice the fireflies walk: 30 cells along x, 30 along z, 25 along y. A step of
// +-1 in the cell number moves along x, +-30 along z and +-900 along y.
namespace kovessa {

inline constexpr int32_t kLatticeX = 30;
inline constexpr int32_t kLatticeZ = 30;
inline constexpr int32_t kLatticeY = 25;
inline constexpr int32_t kCellCount = kLatticeX * kLatticeZ * kLatticeY; // 22500

// Field order X, Y, Z matters: the GL layer hands a record straight to glVertex3iv.
struct CellPos {
    int32_t X;
    int32_t Y;
    int32_t Z;
};

inline constexpr int32_t CellIx(int32_t n) {
    return n % kLatticeX;
}
inline constexpr int32_t CellIz(int32_t n) {
    return (n / kLatticeX) % kLatticeZ;
}
inline constexpr int32_t CellIy(int32_t n) {
    return n / (kLatticeX * kLatticeZ);
}

// Positions of every cell, centred on the origin, one lattice unit to one OpenGL unit.
using CellTable = std::array<CellPos, kCellCount>;

void FillCellTable(CellTable& table);

} // namespace kovessa
