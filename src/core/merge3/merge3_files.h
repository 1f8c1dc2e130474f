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

// BASE and REMOTE brought to LOCAL's characters where their 8-bit and UTF-8 forms differ, so
// that the same character merges as the same bytes; a plain ASCII LOCAL leaves them as they are.
// Throws std::runtime_error naming the file when LOCAL's code page has no byte for a character.
void AlignMerge3Versions(Merge3Version (&versions)[3]);

// The result's bytes for a LOCAL in that encoding.
std::string EncodeMerge3Result(std::string text, io::TextEncoding localEncoding);

// A version's text as a view shows it: without a UTF-8 mark.
std::string_view WithoutUtf8Mark(std::string_view text);

} // namespace quennet::merge3
