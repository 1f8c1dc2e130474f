// The three merged-output writers and the workspace file operations.
#include "workspace/merged_output.h"

#include <algorithm>
#include <cctype>
#include <functional>

#include "io/atomic_file.h"
#include "io/source_file.h"
#include "io/text_encoding.h"
#include "workspace/merged_blocks.h"
#include "workspace/rtf_reader.h"
#include "workspace/rtf_writer.h"

#ifndef QUENNET_VERSION
#define QUENNET_VERSION "0.0.0"
#endif

namespace quennet::workspace {

namespace {

constexpr std::string_view kLegalNotice = "Copyright (c) 2026 Quennet";

// Output lines are handed over as a prefix (often empty) and the line's text.
using LineEmitter = std::function<void(std::string_view prefix, std::string_view text)>;

void WithoutColor(const TWorkspaceDocument& doc, TLineKind leftOut, std::string_view prefix,
                  const LineEmitter& emit) {
    const size_t n = doc.TextLineCount();
    for (size_t line = 0; line < n; ++line) {
        if (LineKindOf(doc.LineColor(line)) != leftOut)
            emit({}, doc.LineText(line));
        else if (!prefix.empty())
            emit(prefix, doc.LineText(line));
    }
}

std::vector<std::string> Collected(const std::function<void(const LineEmitter&)>& produce) {
    std::vector<std::string> out;
    produce([&](std::string_view prefix, std::string_view text) {
        out.emplace_back(prefix);
        out.back() += text;
    });
    return out;
}

// Output lines written to a sink as they come, each followed by the line end, in the format's
// encoding. Blocks end at line ends, so that no encoded character is split between two.
class TLineWriter {
public:
    TLineWriter(const io::SourceTextFormat& format, const io::ByteSink& sink)
        : format_(format), sink_(sink),
          markSize_(io::EncodeSourceText({}, format.Encoding).size()) {
        if (markSize_ > 0) sink_(io::EncodeSourceText({}, format.Encoding));
    }
    void Line(std::string_view prefix, std::string_view text) {
        block_ += prefix;
        block_ += text;
        block_ += format_.LineBreak;
        if (block_.size() >= (size_t{1} << 16)) Flush();
    }
    void Flush() {
        if (format_.Encoding == io::TextEncoding::Bytes)
            sink_(block_);
        else
            sink_(
                std::string_view(io::EncodeSourceText(block_, format_.Encoding)).substr(markSize_));
        block_.clear();
    }

private:
    const io::SourceTextFormat& format_;
    const io::ByteSink& sink_;
    const size_t markSize_;
    std::string block_;
};

void SaveLines(const std::string& path, const io::SourceTextFormat& format,
               const std::function<void(const LineEmitter&)>& produce) {
    const io::SourceTextFormat output = io::OutputFormatOf(format);
    io::WriteFileAtomically(path, [&](const io::ByteSink& sink) {
        TLineWriter writer(output, sink);
        produce([&](std::string_view prefix, std::string_view text) { writer.Line(prefix, text); });
        writer.Flush();
    });
}

// The directive the colour change between two lines stands for, or "".
std::string_view Directive(TLineKind previous, TLineKind current) {
    using K = TLineKind;
    if (previous == K::Common && current == K::OldOnly) return "{$IFNDEF NEW_VER}";
    if (previous == K::Common && current == K::NewOnly) return "{$IFDEF NEW_VER}";
    if ((previous == K::OldOnly || previous == K::NewOnly) && current == K::Common)
        return "{$ENDIF}";
    if ((previous == K::OldOnly && current == K::NewOnly) ||
        (previous == K::NewOnly && current == K::OldOnly))
        return "{$ELSE}";
    return {};
}

// Which version each line belongs to when the directives are written where the colour changes:
// the reading the line colours give, also for runs marked by hand.
std::vector<TVersionMember> VersionMembers(const TWorkspaceDocument& doc) {
    const size_t n = doc.TextLineCount();
    std::vector<TVersionMember> member(n);
    TVersionMember block = TVersionMember::Both;
    // Colours, not kinds, are compared: two different unknown colours are a change too, and
    // previous follows the colour even where the pair writes no directive.
    TColor previous = kBlack;
    for (size_t line = 0; line < n; ++line) {
        const TColor c = doc.LineColor(line);
        if (c != previous) {
            const std::string_view d = Directive(LineKindOf(previous), LineKindOf(c));
            if (d == "{$IFNDEF NEW_VER}")
                block = TVersionMember::OldOnly;
            else if (d == "{$IFDEF NEW_VER}")
                block = TVersionMember::NewOnly;
            else if (d == "{$ENDIF}")
                block = TVersionMember::Both;
            else if (d == "{$ELSE}" && block != TVersionMember::Both)
                block = block == TVersionMember::OldOnly ? TVersionMember::NewOnly
                                                         : TVersionMember::OldOnly;
            previous = c;
        }
        member[line] = block;
    }
    return member;
}

// Whether the block holds any line of the version that leaves this kind out.
bool VersionHasLines(const std::vector<TVersionMember>& member, const TMergedBlock& block,
                     TVersionMember leftOut) {
    for (size_t line = block.Begin; line < block.End; ++line)
        if (member[line] != leftOut) return true;
    return false;
}

} // namespace

TLineKind LineKindOf(TColor color) {
    if (color == kBlack) return TLineKind::Common;
    if (color == kRed) return TLineKind::OldOnly;
    if (color == kBlue) return TLineKind::NewOnly;
    return TLineKind::Other;
}

std::string CommentPrefixOf(bool comment, std::string_view editText) {
    return comment ? "//" + std::string(editText) : std::string();
}

TMergeSetupState MergeSetupStateOf(std::string_view storedPrefix) {
    if (storedPrefix.empty()) return {};
    return {true, std::string(storedPrefix.substr(std::min<size_t>(2, storedPrefix.size())))};
}

std::string MergedHeaderLine() {
    return std::string("// Quennet Pro ") + QUENNET_VERSION + " " + std::string(kLegalNotice);
}

std::vector<std::string> NewVersionLines(const TWorkspaceDocument& doc, std::string_view prefix) {
    return Collected(
        [&](const LineEmitter& emit) { WithoutColor(doc, TLineKind::OldOnly, prefix, emit); });
}

std::vector<std::string> OldVersionLines(const TWorkspaceDocument& doc, std::string_view prefix) {
    return Collected(
        [&](const LineEmitter& emit) { WithoutColor(doc, TLineKind::NewOnly, prefix, emit); });
}

namespace {

void MergedVersion(const TWorkspaceDocument& doc, const LineEmitter& emit) {
    auto put = [&](std::string_view line) { emit({}, line); };
    put(MergedHeaderLine());
    put("// FOR REVERSE SOURCE TO PREVIOUS VERSION REMOVE NEXT LINE");
    put("{$DEFINE NEW_VER}");
    put("");
    const std::vector<TVersionMember> member = VersionMembers(doc);
    const auto lineAt = [&doc](size_t line) { return doc.LineText(line); };
    for (const TMergedBlock& block : MergedBlocks(lineAt, member)) {
        for (size_t line = block.Begin; line < block.End && block.Common; ++line)
            put(doc.LineText(line));
        if (block.Common) continue;
        auto write = [&](TVersionMember leftOut) {
            for (size_t line = block.Begin; line < block.End; ++line)
                if (member[line] != leftOut) put(doc.LineText(line));
        };
        const bool hasOld = VersionHasLines(member, block, TVersionMember::NewOnly);
        const bool hasNew = VersionHasLines(member, block, TVersionMember::OldOnly);
        if (!hasNew) {
            put("{$IFNDEF NEW_VER}");
            write(TVersionMember::NewOnly);
        } else if (!hasOld) {
            put("{$IFDEF NEW_VER}");
            write(TVersionMember::OldOnly);
        } else if (block.NewFirst) {
            put("{$IFDEF NEW_VER}");
            write(TVersionMember::OldOnly);
            put("{$ELSE}");
            write(TVersionMember::NewOnly);
        } else {
            put("{$IFNDEF NEW_VER}");
            write(TVersionMember::NewOnly);
            put("{$ELSE}");
            write(TVersionMember::OldOnly);
        }
        put("{$ENDIF}");
    }
}

} // namespace

std::vector<std::string> MergedVersionLines(const TWorkspaceDocument& doc) {
    return Collected([&](const LineEmitter& emit) { MergedVersion(doc, emit); });
}

void SaveNewVersion(const TWorkspaceDocument& doc, const std::string& path, std::string_view prefix,
                    const io::SourceTextFormat& format) {
    SaveLines(path, format, [&](const LineEmitter& emit) {
        WithoutColor(doc, TLineKind::OldOnly, prefix, emit);
    });
}

void SaveOldVersion(const TWorkspaceDocument& doc, const std::string& path, std::string_view prefix,
                    const io::SourceTextFormat& format) {
    SaveLines(path, format, [&](const LineEmitter& emit) {
        WithoutColor(doc, TLineKind::NewOnly, prefix, emit);
    });
}

void SaveMergedVersion(const TWorkspaceDocument& doc, const std::string& path,
                       const io::SourceTextFormat& format) {
    SaveLines(path, format, [&](const LineEmitter& emit) { MergedVersion(doc, emit); });
}

void SaveWorkspaceRtf(const TWorkspaceDocument& doc, const std::string& path) {
    io::WriteFileAtomically(path, [&](const io::ByteSink& sink) { WriteRtf(doc, sink); });
}

void SaveWorkspacePlainText(const TWorkspaceDocument& doc, const std::string& path) {
    SaveLines(path, {}, [&](const LineEmitter& emit) {
        for (size_t line = 0; line < doc.TextLineCount(); ++line)
            emit({}, doc.LineText(line));
    });
}

TWorkspaceDocument LoadWorkspaceFile(const std::string& path, std::vector<std::string>* warnings) {
    std::vector<TReadWarning> found;
    const std::string bytes = io::ReadFileBytes(path);
    TWorkspaceDocument doc = ReadWorkspace(bytes, &found);
    std::string ext = path.size() >= 4 ? path.substr(path.size() - 4) : std::string();
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext == ".rtf" && !LooksLikeRtf(bytes))
        found.insert(found.begin(), {0, "not RTF: read as plain text, without line colours"});
    if (warnings)
        for (const TReadWarning& w : found)
            warnings->push_back(path + ": offset " + std::to_string(w.Offset) + ": " + w.Text);
    return doc;
}

} // namespace quennet::workspace
