// The three merged-output writers and the workspace file operations.
#include "merge/merged_output.h"

#include <algorithm>
#include <cctype>

#include "io/atomic_file.h"
#include "io/source_file.h"
#include "merge/merged_blocks.h"
#include "merge/rtf_reader.h"
#include "merge/rtf_writer.h"

#ifndef QUENNET_VERSION
#define QUENNET_VERSION "0.0.0"
#endif

namespace quennet::merge {

namespace {

constexpr std::string_view kLegalNotice = "Copyright (c) 2026 Quennet";

std::vector<std::string> WithoutColor(const TWorkspaceDocument& doc, TLineKind leftOut,
                                      std::string_view prefix) {
    std::vector<std::string> out;
    const size_t n = doc.TextLineCount();
    out.reserve(n);
    for (size_t line = 0; line < n; ++line) {
        if (LineKindOf(doc.LineColor(line)) != leftOut)
            out.push_back(doc.LineText(line));
        else if (!prefix.empty())
            out.push_back(std::string(prefix) + doc.LineText(line));
    }
    return out;
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

// Every output line ends with a break, whatever the source's last line did.
io::SourceTextFormat Output(const io::SourceTextFormat& format) {
    return io::OutputFormatOf(format);
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
    return WithoutColor(doc, TLineKind::OldOnly, prefix);
}

std::vector<std::string> OldVersionLines(const TWorkspaceDocument& doc, std::string_view prefix) {
    return WithoutColor(doc, TLineKind::NewOnly, prefix);
}

std::vector<std::string> MergedVersionLines(const TWorkspaceDocument& doc) {
    std::vector<std::string> out = {MergedHeaderLine(),
                                    "// FOR REVERSE SOURCE TO PREVIOUS VERSION REMOVE NEXT LINE",
                                    "{$DEFINE NEW_VER}", ""};
    const size_t n = doc.TextLineCount();
    out.reserve(n + 8);
    std::vector<std::string> lines(n);
    for (size_t line = 0; line < n; ++line)
        lines[line] = doc.LineText(line);
    const std::vector<TVersionMember> member = VersionMembers(doc);
    for (const TMergedBlock& block : MergedBlocks(lines, member)) {
        for (size_t line = block.Begin; line < block.End && block.Common; ++line)
            out.push_back(lines[line]);
        if (block.Common) continue;
        auto write = [&](TVersionMember leftOut) {
            for (size_t line = block.Begin; line < block.End; ++line)
                if (member[line] != leftOut) out.push_back(lines[line]);
        };
        const bool hasOld = VersionHasLines(member, block, TVersionMember::NewOnly);
        const bool hasNew = VersionHasLines(member, block, TVersionMember::OldOnly);
        if (!hasNew) {
            out.emplace_back("{$IFNDEF NEW_VER}");
            write(TVersionMember::NewOnly);
        } else if (!hasOld) {
            out.emplace_back("{$IFDEF NEW_VER}");
            write(TVersionMember::OldOnly);
        } else if (block.NewFirst) {
            out.emplace_back("{$IFDEF NEW_VER}");
            write(TVersionMember::OldOnly);
            out.emplace_back("{$ELSE}");
            write(TVersionMember::NewOnly);
        } else {
            out.emplace_back("{$IFNDEF NEW_VER}");
            write(TVersionMember::NewOnly);
            out.emplace_back("{$ELSE}");
            write(TVersionMember::OldOnly);
        }
        out.emplace_back("{$ENDIF}");
    }
    return out;
}

void SaveNewVersion(const TWorkspaceDocument& doc, const std::string& path, std::string_view prefix,
                    const io::SourceTextFormat& format) {
    io::WriteFileAtomically(path,
                            io::AssembleSourceText(NewVersionLines(doc, prefix), Output(format)));
}

void SaveOldVersion(const TWorkspaceDocument& doc, const std::string& path, std::string_view prefix,
                    const io::SourceTextFormat& format) {
    io::WriteFileAtomically(path,
                            io::AssembleSourceText(OldVersionLines(doc, prefix), Output(format)));
}

void SaveMergedVersion(const TWorkspaceDocument& doc, const std::string& path,
                       const io::SourceTextFormat& format) {
    io::WriteFileAtomically(path, io::AssembleSourceText(MergedVersionLines(doc), Output(format)));
}

void SaveWorkspaceRtf(const TWorkspaceDocument& doc, const std::string& path) {
    io::WriteFileAtomically(path, WriteRtf(doc));
}

void SaveWorkspacePlainText(const TWorkspaceDocument& doc, const std::string& path) {
    io::WriteFileAtomically(path, doc.PlainText());
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

} // namespace quennet::merge
