#pragma once
// GBK byte texts and byte buffers, and the operations the scrapers, the icon naming and the
// configuration code cut pages and values apart with. Positions count bytes from 1, a failed
// search gives -1, and out-of-range requests give empty results, never errors. Searches,
// splits and trims step over two-byte characters; cutting by position does not.
// Nothing here knows about code pages beyond the GBK lead-byte rule (a byte >= 0x80 starts a
// two-byte character); conversions to Unicode live at the UI and filesystem edges.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace qc {

// A GBK byte string. It holds no zero byte when it comes from this layer's operations.
using Text = std::string;
// A byte buffer that may hold zeros.
using Bytes = std::vector<std::uint8_t>;

int TextLength(const Text& text);
// The bytes of the character that starts at the 0-based index: 1 below 0x80, 2 for a lead byte,
// and 0 past the end or for a lead byte that is the last byte, which ends every character walk.
std::size_t CharWidth(const Text& text, std::size_t index);
Text TextLeft(const Text& text, int n);
Text TextRight(const Text& text, int n);
Text TextMid(const Text& text, int start, int n);
// The byte at position as a signed value (-128..127); 0 outside the text.
int CharCode(const Text& text, int position = 1);
int FindText(const Text& text, const Text& sought, std::optional<int> start = std::nullopt);
int FindTextReverse(const Text& text, const Text& sought);
// Blanks are the ASCII space and the full-width space A1 A1; tab, CR and LF are kept.
Text TrimSpaces(const Text& text);
Text RemoveSpaces(const Text& text);
Text ConcatText(std::initializer_list<Text> texts);
int TextToInt(const Text& text);
Text IntToText(int value);
Text RealToText(double value);
Text BytesToText(const Bytes& bytes);
Bytes TextToBytes(const Text& text);
int BytesLength(const Bytes& bytes);

}  // namespace qc
