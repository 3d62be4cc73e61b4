#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "audio/AudioFile.h"
#include "audio/Conversion.h"
#include "audio/Loudness.h"
#include "audio/RootKeys.h"

namespace velmorant::audio {

// How a set of files (one convert, one multisample, one kit) is turned into samples.
struct SetOptions {
    ConversionOptions conversion;
    LoudnessTarget loudness;  // one gain for the whole set
    MiddleC middleC = kDefaultMiddleC;
    int defaultKey = 60;
    // Files convert side by side, each streamed through fixed blocks: memory grows with the
    // thread count, never with the files' sizes.
    unsigned threads = 0;  // 0: one per core
};

struct FilePlan {
    std::string path;
    std::string error;  // names the file; the rest is then incomplete
    AudioInfo info;
    ConversionPlan plan;
    RootKey root;
};

struct SetPlan {
    std::vector<FilePlan> files;  // in the order given
    double gainDb = 0.0;
    std::string loudnessError;  // a file that could not be measured stops the whole set's gain

    bool ok() const;
};

// Reads every file's head and metadata (side by side), chooses the root keys over the set and,
// when a loudness target is given, measures every file for the one gain.
SetPlan PlanSet(const std::vector<std::string>& paths, const SetOptions& options);

struct FileOutcome {
    ConversionResult result;
    std::string report;  // the report line, with the root-key and pitch notes
};

// A sink that is told when its file is complete; its answer decides whether the file counts
// as written (a sample file is committed only then).
class FinishingSink : public PcmSink {
public:
    virtual bool Finish() = 0;
    // The system's reason when a write or Finish failed; empty when it did not say.
    virtual std::string FailureReason() const { return {}; }
};

// Converts the planned files side by side, each streamed into the sink `sinkFor` gives it
// (nullptr leaves the file out). Outcomes come back in plan order.
std::vector<FileOutcome> ConvertSet(const SetPlan& set, const SetOptions& options,
                                    const std::function<std::unique_ptr<FinishingSink>(std::size_t, const FilePlan&)>& sinkFor);

// The plan as the report line gives it, without the file name: "24-bit 48000 Hz → 16-bit 44100 Hz,
// dithered".
std::string PlanText(const FilePlan& file);

// What probe-audio prints for each file: a text block, or one JSON document for the set.
std::string DescribeSetText(const SetPlan& set, MiddleC middleC);
std::string DescribeSetJson(const SetPlan& set, MiddleC middleC);

}  // namespace velmorant::audio
