#include "tools/report.h"

#include <type_traits>

#include "platform/console.h"

namespace velda {

namespace {

constexpr std::size_t ProgressColumns = 79;

std::string WriteText(const WriteProblem& problem) {
    const std::string cannot = "cannot write " + problem.output + ": ";
    switch (problem.error.fault) {
    case WriteFault::Exists: return problem.output + " exists; use --force to replace it";
    case WriteFault::Folder: return cannot + "is a directory";
    case WriteFault::NotAFile: return cannot + "not a regular file";
    case WriteFault::ReadOnly: return cannot + "the file is read-only";
    default: return cannot + problem.error.system.message();
    }
}

}  // namespace

std::string ProblemText(const Problem& problem, const ShowName& show) {
    return std::visit(
        [&show](const auto& p) -> std::string {
            using P = std::decay_t<decltype(p)>;
            if constexpr (std::is_same_v<P, LoadError>) {
                LoadError shown = p;
                shown.file = show(p.file);
                shown.secondPage = show(p.secondPage);
                const bool unknown = p.fault == LoadFault::UnknownExtension;
                return DescribeLoadError(shown) + (unknown ? "; pass --screen N" : "");
            } else if constexpr (std::is_same_v<P, WriteProblem>) {
                return WriteText(p);
            } else if constexpr (std::is_same_v<P, OverInput>) {
                return "cannot write " + p.output + ": it is the input file";
            } else if constexpr (std::is_same_v<P, AlreadyWritten>) {
                return "cannot write " + p.output + ": already written from " + show(p.earlier) +
                       " (--keep-extension writes " + p.keptEarlier + " and " + p.keptThis + ")";
            } else if constexpr (std::is_same_v<P, FolderProblem>) {
                if (p.output.empty()) return "cannot read the folder: " + p.error.message();
                return "cannot write " + p.output + ": cannot make the folder " + p.folder + ": " + p.error.message();
            } else if constexpr (std::is_same_v<P, Unexpected>) {
                return p.what;
            } else {
                return "";
            }
        },
        problem);
}

std::string ListingText(const Outcome& listed, const ShowName& show) {
    const PicturePlan& plan = listed.plan;
    std::string text = std::string(ReaderName(plan.reader)) + ", SCREEN " +
                       std::to_string(plan.screen) + ", " + std::to_string(listed.width) + " x " +
                       std::to_string(listed.height);
    if (!plan.secondPage.empty()) text += ", with its second page " + show(plan.secondPage);
    if (plan.palette != PaletteSource::Own) text += ", colours from " + show(plan.paletteFile);
    return text;
}

void ProgressLine::Show(std::size_t index, std::size_t total, const std::string& file) {
    if (!enabled_) return;
    std::string text = "[" + std::to_string(index) + "/" + std::to_string(total) + "] ";
    std::string name = file;
    if (text.size() + name.size() > ProgressColumns) {
        const std::size_t room = ProgressColumns > text.size() + 3 ? ProgressColumns - text.size() - 3 : 0;
        name = "..." + name.substr(name.size() - room);
    }
    Write(text + name);
}

void ProgressLine::Clear() {
    if (!enabled_ || shown_ == 0) return;
    Write("");
    WriteText(stream_, "\r");
    std::fflush(stream_);
}

void ProgressLine::Write(const std::string& text) {
    std::string line = "\r" + text;
    if (text.size() < shown_) line.append(shown_ - text.size(), ' ');
    WriteText(stream_, line);
    std::fflush(stream_);
    shown_ = text.size();
}

}  // namespace velda
