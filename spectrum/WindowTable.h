#pragma once
#include <array>
#include <string>

namespace qv::spectrum {

/// The six window functions of the spectrum, precomputed for the 256-point transform. Row 6 and
/// column 256 stay zero; every lookup outside the table reads 0.
class WindowTable {
  public:
    static constexpr int kRows = 7;      ///< window types 0..6 (6 is never selected)
    static constexpr int kColumns = 257; ///< columns 0..256, 0..255 used
    static constexpr int kWindows = 6;   ///< selectable types 0..5

    WindowTable() { MakeWindow(); }

    /// Fills the rows: each window symmetric about the middle with denominator 255.
    void MakeWindow();

    /// Coefficient of a window type at a column; 0 outside the table.
    [[nodiscard]] double value(int type, int column) const;

    /// The window's name as the menu and the readout show it, for types 0..5.
    [[nodiscard]] static const std::string &name(int type);

  private:
    std::array<std::array<double, kColumns>, kRows> table_{};
};

} // namespace qv::spectrum
