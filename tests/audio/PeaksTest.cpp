#include <gtest/gtest.h>
#include <sndfile.h>

#include "audio/Peaks.h"
#include "support/AudioFixtures.h"
#include "support/TempDir.h"

namespace velmorant::audio {
namespace {

// A step per bucket on the left channel, silence on the right: each bucket's range spans the
// step and zero, whatever the container.
TEST(PeaksTest, BucketRangesAndLoopPlaces) {
    for (const int format : {SF_FORMAT_WAV | SF_FORMAT_PCM_16, SF_FORMAT_AIFF | SF_FORMAT_PCM_24,
                             SF_FORMAT_FLAC | SF_FORMAT_PCM_16}) {
        testing::TempDir dir;
        const std::string path = dir({"steps.snd"});
        testing::WriteSound(path, {format, 44100, 2, 1000, [](std::size_t frame, int channel) {
                                       return channel == 0 ? (static_cast<double>(frame / 100) - 5) / 10 : 0.0;
                                   }});
        if ((format & SF_FORMAT_TYPEMASK) == SF_FORMAT_WAV) {
            testing::AppendChunk(path, "smpl", testing::SamplerBody(60, 0, std::pair{150u, 949u}));
        }
        const Peaks peaks = ComputePeaks(path, 10);
        ASSERT_TRUE(peaks.error.empty()) << peaks.error;
        ASSERT_EQ(peaks.low.size(), 10u);
        for (std::size_t b = 0; b < 10; ++b) {
            const double step = (static_cast<double>(b) - 5) / 10;
            EXPECT_NEAR(peaks.low[b], std::min(step, 0.0), 1e-3) << format << " bucket " << b;
            EXPECT_NEAR(peaks.high[b], std::max(step, 0.0), 1e-3) << format << " bucket " << b;
        }
        if ((format & SF_FORMAT_TYPEMASK) == SF_FORMAT_WAV) {
            ASSERT_TRUE(peaks.loop);
            EXPECT_EQ(peaks.loopStartBucket, 1u);
            EXPECT_EQ(peaks.loopEndBucket, 9u);
        }
    }
    // A frame past the end (a loop a file declares beyond its sound) lands in the last bucket.
    EXPECT_EQ(PeakBucket(999, 1000, 10), 9u);
    EXPECT_EQ(PeakBucket(5000, 1000, 10), 9u);
}

}  // namespace
}  // namespace velmorant::audio
