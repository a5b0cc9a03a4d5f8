// Synthesises the alarm sound: a two-tone warble, 16-bit PCM, mono, 22050 Hz, written as a
// RIFF wave file to the path given as the only argument.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int SampleRate = 22050;
constexpr double Seconds = 0.6;
constexpr double ToneLength = 0.1;        // each tone lasts this long, then the other
constexpr double Tones[2] = {880.0, 660.0};
constexpr double Volume = 0.6;
constexpr double Ramp = 0.004;            // fade in and out of each tone against clicks

void put16(std::vector<char> &out, std::uint16_t value)
{
    out.push_back(char(value & 0xFF));
    out.push_back(char(value >> 8));
}

void put32(std::vector<char> &out, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(char((value >> shift) & 0xFF));
}

void putTag(std::vector<char> &out, const char *tag)
{
    out.insert(out.end(), tag, tag + 4);
}

std::vector<std::int16_t> synthesise()
{
    const int count = int(SampleRate * Seconds);
    const int perTone = int(SampleRate * ToneLength);
    const int ramp = int(SampleRate * Ramp);
    std::vector<std::int16_t> samples(std::size_t(count), 0);
    double phase = 0.0;
    for (int i = 0; i < count; ++i) {
        const int inTone = i % perTone;
        const double frequency = Tones[(i / perTone) % 2];
        phase += 2.0 * std::numbers::pi * frequency / SampleRate;
        double envelope = 1.0;
        if (inTone < ramp)
            envelope = double(inTone) / ramp;
        else if (perTone - inTone < ramp)
            envelope = double(perTone - inTone) / ramp;
        // A square-ish tone (fundamental plus odd harmonics) sounds like an alarm.
        const double wave = std::sin(phase) + std::sin(3 * phase) / 3 + std::sin(5 * phase) / 5;
        samples[std::size_t(i)] = std::int16_t(std::lround(wave * envelope * Volume * 0.8 * 32767.0 / 1.2));
    }
    return samples;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.wav\n", argc > 0 ? argv[0] : "alarmgen");
        return 2;
    }
    const std::vector<std::int16_t> samples = synthesise();
    const std::uint32_t dataBytes = std::uint32_t(samples.size() * 2);

    std::vector<char> out;
    putTag(out, "RIFF");
    put32(out, 36 + dataBytes);
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    put32(out, 16);              // size of the format chunk
    put16(out, 1);               // PCM
    put16(out, 1);               // mono
    put32(out, SampleRate);
    put32(out, SampleRate * 2);  // bytes per second
    put16(out, 2);               // bytes per frame
    put16(out, 16);              // bits per sample
    putTag(out, "data");
    put32(out, dataBytes);
    for (const std::int16_t sample : samples)
        put16(out, std::uint16_t(sample));

    std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
    if (!file) {
        std::fprintf(stderr, "alarmgen: cannot open %s for writing\n", argv[1]);
        return 1;
    }
    file.write(out.data(), std::streamsize(out.size()));
    file.close();
    if (!file) {
        std::fprintf(stderr, "alarmgen: writing %s failed\n", argv[1]);
        return 1;
    }
    return 0;
}
