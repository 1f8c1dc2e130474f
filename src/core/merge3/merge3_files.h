// The three versions of a merge as the merge reads them, and its result as the file takes it:
// UTF-16 is merged as UTF-8 text, so versions in different encodings merge by their text, and
// the result goes back in LOCAL's encoding.
#pragma once

#include <string>
#include <string_view>

#include "io/text_encoding.h"
#include "merge3/three_way.h"

namespace quennet::merge3 {

struct Merge3Version {
    ThreeWayInput input; // UTF-8 behind its mark stays marked: the merge decides on marks
    io::TextEncoding encoding = io::TextEncoding::Bytes;
};

// Throws std::runtime_error naming the file when it cannot be read or is not text.
Merge3Version ReadMerge3Version(const std::string& path, std::string label);

// How the merged text goes back to bytes.
struct Merge3Encoding {
    io::TextEncoding local = io::TextEncoding::Bytes;
    // An 8-bit LOCAL merged as UTF-8 because BASE or REMOTE holds a character its code page
    // has no byte for.
    bool mergedAsUtf8 = false;
};

// BASE and REMOTE brought to LOCAL's characters where their 8-bit and UTF-8 forms differ, so
// that the same character merges as the same bytes; a plain ASCII LOCAL leaves them as they are.
// When LOCAL's Windows-1252 has no byte for a character of BASE or REMOTE, all three are
// merged as UTF-8 instead: a character never stops a merge.
Merge3Encoding AlignMerge3Versions(Merge3Version (&versions)[3]);

struct Merge3Bytes {
    std::string bytes;
    std::string note; // says why the result is not in LOCAL's encoding; empty when it is
};

// The result in LOCAL's encoding. A result merged as UTF-8 goes back to LOCAL's code page when
// the code page holds every character of it, and otherwise is written whole in UTF-8 with a
// byte-order mark (one file never mixes two encodings; the mark makes compilers read it as
// UTF-8).
Merge3Bytes EncodeMerge3Result(std::string text, const Merge3Encoding& encoding);
// The same for a merge that ran in LOCAL's own characters.
std::string EncodeMerge3Result(std::string text, io::TextEncoding localEncoding);

// A version's text as a view shows it: without a UTF-8 mark.
std::string_view WithoutUtf8Mark(std::string_view text);

} // namespace quennet::merge3
