// sound_measure FILE TONE_RMS FRAME_MS [NEAR...]: measures raw 32-bit float mono samples at
// 48 kHz of a steady tone broken only by short silences (its marks). Prints, in seconds: its
// "length"; "marks", for each NEAR time where the nearest silence begins (a quarter into its
// first 5 ms window whose RMS is below half TONE_RMS); "dip", the first such quiet window neither
// in the first or last 50 ms nor within FRAME_MS of a mark; "none" where there is none.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char* argv[])
{
    FILE* file = argc >= 4 ? std::fopen(argv[1], "rb") : nullptr;
    if (!file) {
        std::fprintf(stderr, "usage: sound_measure FILE TONE_RMS FRAME_MS [NEAR...]\n");
        return 2;
    }
    constexpr long kRate = 48000, kWindow = kRate / 200, kEnds = kRate / 20;
    const double half = std::atof(argv[2]) / 2, frame = std::atof(argv[3]) * kRate / 1000;
    std::vector<double> sums{0}; // of the squares before each sample: any window's RMS at once
    for (float sample; std::fread(&sample, sizeof sample, 1, file) == 1;)
        sums.push_back(sums.back() + double(sample) * sample);
    std::fclose(file);
    const long windows = long(sums.size()) - kWindow;
    const auto rms = [&](long i) { return std::sqrt((sums[i + kWindow] - sums[i]) / kWindow); };
    // The quiet stretches, each its first and last window; the marks among them.
    std::vector<std::pair<long, long>> quiet, marks;
    for (long i = 0; i < windows; ++i)
        if (rms(i) < half && !quiet.empty() && quiet.back().second == i - 1)
            quiet.back().second = i;
        else if (rms(i) < half)
            quiet.emplace_back(i, i);
    std::printf("length %.4f\nmarks", double(sums.size() - 1) / kRate);
    for (int a = 4; a < argc; ++a) {
        const double near = std::atof(argv[a]) * kRate;
        const auto mark = std::min_element(quiet.begin(), quiet.end(), [&](auto& x, auto& y) {
            return std::abs(x.first - near) < std::abs(y.first - near);
        });
        if (mark == quiet.end()) {
            std::printf(" none");
            continue;
        }
        marks.push_back(*mark);
        std::printf(" %.4f", double(mark->first + kWindow / 4) / kRate);
    }
    long dip = -1;
    for (long i = kEnds; i < windows - kEnds; ++i) {
        const auto nearMark = [&](auto& m) {
            return i + kWindow > m.first - frame && i < m.second + kWindow + frame;
        };
        if (dip < 0 && rms(i) < half && std::none_of(marks.begin(), marks.end(), nearMark))
            dip = i;
    }
    std::printf(dip < 0 ? "\ndip none\n" : "\ndip %.4f\n", double(dip) / kRate);
}
