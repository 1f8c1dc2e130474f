// The encodings and line ends a merge result can be saved in. The window offers them; LOCAL's
// are the default, since the result takes LOCAL's place.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "io/text_encoding.h"
#include "io/view_encoding.h"

namespace quennet::merge3 {

struct OutputEncoding {
    const char* Name; // as the window lists it
    io::TextEncoding Encoding;
    io::ViewCharset Charset;
    bool operator==(const OutputEncoding& o) const {
        return Encoding == o.Encoding && Charset == o.Charset;
    }
};

// Windows-1252, UTF-8, UTF-8 with mark, UTF-16 LE, UTF-16 BE.
const std::vector<OutputEncoding>& OutputEncodings();
// The entry a file read in `encoding` whose text is in `charset` is written back in.
size_t OutputEncodingOf(io::TextEncoding encoding, io::ViewCharset charset);

enum class LineEnds { CrLf, Lf };
// The line ends text mostly has; CR LF for text without any.
LineEnds LineEndsOf(std::string_view text);

// The result's bytes: text in `charset` (without a mark) brought to the encoding and with every
// line end made `ends`; whether the last line had one stays. Throws std::runtime_error naming
// the file, line and character when the encoding has no bytes for one.
std::string EncodeMergeOutput(std::string_view text, io::ViewCharset charset,
                              const OutputEncoding& to, LineEnds ends, const std::string& fileName);

} // namespace quennet::merge3
