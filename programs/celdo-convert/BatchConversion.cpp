#include "BatchConversion.h"

#include "Conversion.h"

#include "core/FileExtension.h"
#include "formats/GraphicFile.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>

#include <unistd.h>

namespace celdo::convert {

namespace fs = std::filesystem;

namespace {

// Files below `folder` that a conversion to `output` takes.  A folder that
// cannot be listed stays an input of its own and fails as one.
void AddFolderFiles(const std::string& folder, bool recursive, const std::string& output,
                    std::vector<std::string>& inputs) {
    std::vector<std::string> found;
    std::error_code error;
    auto take = [&](const fs::directory_entry& entry) {
        std::error_code ignored;
        if (!entry.is_regular_file(ignored))
            return;
        // The format table decides which names are known.
        const std::string format = writableFormat(entry.path().string());
        if (!format.empty() && isPalette(format) == isPalette(output))
            found.push_back(entry.path().string());
    };
    if (recursive) {
        fs::recursive_directory_iterator it(folder, error), end;
        for (; !error && it != end; it.increment(error))
            take(*it);
    } else {
        fs::directory_iterator it(folder, error), end;
        for (; !error && it != end; it.increment(error))
            take(*it);
    }
    if (error) {
        inputs.push_back(folder);
        return;
    }
    std::sort(found.begin(), found.end());
    inputs.insert(inputs.end(), found.begin(), found.end());
}

std::string lowerCase(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

void ConvertOne(BatchFile& file, const Arguments& arguments, const std::string& defaultPalette) {
    std::error_code error;
    if (!arguments.overwrite && fs::exists(fs::symlink_status(file.out, error))) {
        file.outcome = BatchOutcome::Skipped;
        file.lines.push_back(file.out + ": exists, skipped (--overwrite replaces it)");
        return;
    }
    ConversionReport report = ConvertFile(file.in, file.out, arguments, defaultPalette, {});
    file.outcome = report.written ? BatchOutcome::Converted : BatchOutcome::Failed;
    file.lines = std::move(report.lines);
}

} // namespace

std::vector<std::string> batchInputs(const std::vector<std::string>& named, bool recursive,
                                     const std::string& output) {
    std::vector<std::string> inputs;
    for (const std::string& path : named) {
        std::error_code error;
        if (fs::is_directory(path, error))
            AddFolderFiles(path, recursive, output, inputs);
        else
            inputs.push_back(path);
    }
    return inputs;
}

std::string batchOutputPath(const std::string& in, const std::string& folder,
                            const std::string& format) {
    const std::size_t slash = in.find_last_of('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = extensionDot(in);
    const std::string name =
        in.substr(nameStart, dot == std::string::npos ? std::string::npos : dot - nameStart);
    std::string out = folder;
    if (!out.empty() && out.back() != '/')
        out += '/';
    return out + name + "." + lowerCase(format);
}

std::vector<BatchFile> planBatch(const std::vector<std::string>& inputs, const std::string& folder,
                                 const std::string& format) {
    std::vector<BatchFile> files;
    files.reserve(inputs.size());
    std::map<std::string, std::string> writers;
    for (const std::string& in : inputs) {
        BatchFile file;
        file.in = in;
        file.out = batchOutputPath(in, folder, format);
        const auto [earlier, added] = writers.emplace(file.out, in);
        if (!added) {
            file.outcome = BatchOutcome::Failed;
            file.lines.push_back(in + ": " + file.out + " is already the output of " +
                                 earlier->second);
        }
        files.push_back(std::move(file));
    }
    return files;
}

void ConvertBatch(std::vector<BatchFile>& files, const Arguments& arguments,
                  const std::string& defaultPalette, int jobs, const BatchProgress& progress) {
    std::vector<BatchFile*> pending;
    for (BatchFile& file : files)
        if (file.outcome == BatchOutcome::Pending)
            pending.push_back(&file);
    const int total = static_cast<int>(files.size());
    std::atomic<std::size_t> next{0};
    std::mutex doneMutex;
    int done = total - static_cast<int>(pending.size());
    // Each file is taken by exactly one thread and written only by it; the
    // conversions share nothing but the read-only arguments.
    auto work = [&] {
        for (std::size_t i = next.fetch_add(1); i < pending.size(); i = next.fetch_add(1)) {
            ConvertOne(*pending[i], arguments, defaultPalette);
            const std::lock_guard lock(doneMutex);
            ++done;
            if (progress)
                progress(done, total);
        }
    };
    const std::size_t threads =
        std::min<std::size_t>(static_cast<std::size_t>(std::max(jobs, 1)), pending.size());
    std::vector<std::jthread> helpers;
    for (std::size_t i = 1; i < threads; ++i) {
        try {
            helpers.emplace_back(work);
        } catch (const std::system_error&) {
            // Fewer threads only take longer.
            break;
        }
    }
    work();
}

int convertBatch(const Arguments& arguments) {
    std::error_code error;
    fs::create_directories(arguments.outputFolder, error);
    if (!fs::is_directory(arguments.outputFolder, error)) {
        std::fprintf(stderr, "celdo-convert: %s: %s\n", arguments.outputFolder.c_str(),
                     errorMessageText(status::CannotWrite).c_str());
        return ExitFailure;
    }
    std::vector<BatchFile> files = planBatch(
        batchInputs(arguments.files, arguments.recursive, writableFormat("x." + arguments.to)),
        arguments.outputFolder, arguments.to);
    const std::string defaultPalette =
        arguments.reduce && arguments.palette.empty() ? defaultPalettePath() : std::string();
    int jobs = arguments.jobs;
    if (jobs <= 0)
        jobs = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));

    const bool terminal = isatty(STDERR_FILENO);
    BatchProgress progress;
    if (terminal)
        progress = [](int done, int total) {
            std::fprintf(stderr, "\r%d/%d files", done, total);
            std::fflush(stderr);
        };
    ConvertBatch(files, arguments, defaultPalette, jobs, progress);
    if (terminal && !files.empty())
        std::fputc('\n', stderr);

    int converted = 0;
    int skipped = 0;
    int failed = 0;
    for (const BatchFile& file : files) {
        for (const std::string& line : file.lines)
            std::fprintf(stderr, "celdo-convert: %s\n", line.c_str());
        converted += file.outcome == BatchOutcome::Converted;
        skipped += file.outcome == BatchOutcome::Skipped;
        failed += file.outcome == BatchOutcome::Failed;
    }
    std::fprintf(stderr, "celdo-convert: %d converted, %d skipped, %d failed\n", converted, skipped,
                 failed);
    return failed ? ExitFailure : 0;
}

} // namespace celdo::convert
