// The JSON writer's escaping and its buffering: what reaches the stream, and when.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "render/json_writer.h"

using quennet::render::JsonWriter;

namespace {

std::string Quoted(std::string_view value) {
    std::ostringstream out;
    {
        JsonWriter j(out);
        j.Value(value);
    }
    return out.str();
}

TEST(JsonWriter, EscapesWhatJsonAndUtf8Require) {
    struct Case {
        std::string in, out;
    } cases[] = {
        {"plain text", R"("plain text")"},
        {"a\"b\\c", R"("a\"b\\c")"},
        {"line\r\nnext\ttab", R"("line\r\nnext\ttab")"},
        {std::string("nul\0bell\a", 9), R"("nul\u0000bell\u0007")"},
        {"del\x7f", "\"del\x7f\""},
        {"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80",
         "\"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80\""},
        {"Latin-1 caf\xe9!", R"("Latin-1 caf\u00e9!")"}, // a lead byte without its tail
        {"cut \xe2\x82", R"("cut \u00e2\u0082")"},       // a sequence cut by the end
        {"over\xc0\xaflong \xf5\x80", R"("over\u00c0\u00aflong \u00f5\u0080")"}, // never valid
        // Past the sixteen plain bytes read at a time, and at the last of them.
        {"0123456789abcdefghij\"klmnopqrstuvwxyz\\",
         R"("0123456789abcdefghij\"klmnopqrstuvwxyz\\")"},
        {"0123456789abcde\x1f"
         "0123456789abcdef\xc3\xa9\xc3",
         "\"0123456789abcde\\u001f0123456789abcdef\xc3\xa9\\u00c3\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Quoted(c.in), c.out) << c.in;
}

TEST(JsonWriter, TheStreamHoldsEverythingWhenTheOutermostValueCloses) {
    std::ostringstream out;
    const std::string big(200000, 'x'); // past the writer's block
    JsonWriter j(out);
    j.BeginObject();
    j.Key("big");
    j.Value(big);
    j.Key("list");
    j.BeginArray();
    j.Value(int64_t{-7});
    j.Value(true);
    j.Null();
    j.Number(0.1);
    j.EndArray();
    j.EndObject();
    out << '\n'; // as the commands end their output, the writer still alive
    EXPECT_EQ(out.str(), R"({"big":")" + big + R"(","list":[-7,true,null,0.1]})" + "\n");
}

} // namespace
