#include "listen/basic_pitch.h"

#include "listen/basic_pitch_json.h"
#include "listen/basic_pitch_resample.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <limits>
#include <map>
#include <sstream>
#include <thread>

namespace Listen {

namespace {

// The shape of the network's input and output, as basic-pitch feeds it: windows of 2 s less one
// hop, overlapping by 30 frames, of which 15 are dropped at each end of every window; the first
// window starts 15 frames before the sound, so that its kept frames start with the sound.
constexpr int windowSamples = 43844;
constexpr int hopSamples = 256;           // one frame
constexpr int overlapFrames = 30;
constexpr int edgeFrames = overlapFrames / 2;
constexpr int windowStep = windowSamples - overlapFrames * hopSamples; // 36164 samples
constexpr int leadIn = edgeFrames * hopSamples;                        // 3840 samples
// basic-pitch counts its output frames at a whole 86 a second (22050 / 256 rounded down).
constexpr int countedFramesPerSecond = 22050 / hopSamples;

// The constant-Q transform: 9 octaves of 36 bins, computed from the top octave down, halving
// the sample rate between octaves with a low-pass filter; the lowest 15 bins are dropped.
constexpr int octaves = 9;
constexpr int binsPerOctave = 36;
constexpr int cqtTaps = 256;
constexpr int lowpassTaps = 256;
constexpr int cqtBins = 309;
constexpr int contourBins = 264; // 88 keys × 3 bins, the first on A0
constexpr int harmonicCount = 8; // the half harmonic, then harmonics 1 to 7

const std::string prefix = "StatefulPartitionedCall/model_1/";

struct Tensor
{
    std::vector<int> shape;
    std::vector<float> values;
};

// A 2-D convolution over [time][frequency][channel] with "same" padding, stride 1 in time.
struct Conv
{
    int kh = 0, kw = 0, in = 0, out = 0, strideF = 1;
    std::vector<float> weights; // [kh][kw][in][out]
    std::vector<float> bias;    // [out]
};

enum class Activation { None, Relu, Sigmoid };

std::string shapeText(const std::vector<int>& shape)
{
    std::string text = "[";
    for (std::size_t i = 0; i < shape.size(); ++i)
        text += (i ? "," : "") + std::to_string(shape[i]);
    return text + "]";
}

bool readFile(const std::string& path, std::string* contents)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    std::ostringstream buffer;
    buffer << file.rdbuf();
    *contents = buffer.str();
    return bool(file) || file.eof();
}

float halfToFloat(std::uint16_t half)
{
    const int exponent = (half >> 10) & 0x1F;
    const int mantissa = half & 0x3FF;
    float value;
    if (exponent == 0)
        value = std::ldexp(float(mantissa), -24);
    else if (exponent == 31)
        value = mantissa ? std::numeric_limits<float>::quiet_NaN() : std::numeric_limits<float>::infinity();
    else
        value = std::ldexp(float(mantissa | 0x400), exponent - 25);
    return (half & 0x8000) ? -value : value;
}

// Reads every tensor of the weights manifest, float32 and int32 as stored, and the quantised
// forms TensorFlow.js writes (uint8 and uint16 with a scale and minimum, or float16), all as float.
bool readWeights(const std::string& folder, const JsonValue& manifest, std::map<std::string, Tensor>* tensors,
                 std::string* error)
{
    if (!manifest.isArray() || manifest.array().empty()) {
        *error = "model.json lists no weights";
        return false;
    }
    for (const JsonValue& group : manifest.array()) {
        std::string data;
        for (const JsonValue& path : group["paths"].array()) {
            std::string shard;
            if (!path.isString() || !readFile(folder + "/" + path.string(), &shard)) {
                *error = "cannot read the weights file " + folder + "/" + path.string();
                return false;
            }
            data += shard;
        }
        std::size_t offset = 0;
        for (const JsonValue& entry : group["weights"].array()) {
            Tensor tensor;
            std::size_t count = 1;
            for (const JsonValue& dim : entry["shape"].array()) {
                tensor.shape.push_back(int(dim.number()));
                count *= std::size_t(std::max(0, int(dim.number())));
            }
            const std::string& name = entry["name"].string();
            const std::string& dtype = entry["dtype"].string();
            const JsonValue& quantization = entry["quantization"];
            const std::string stored = quantization.isObject() ? quantization["dtype"].string() : dtype;
            const std::size_t width = stored == "uint8" ? 1 : (stored == "uint16" || stored == "float16") ? 2 : 4;
            if (stored != "float32" && stored != "int32" && stored != "uint8" && stored != "uint16"
                && stored != "float16") {
                *error = "weight " + name + " has the unknown type " + stored;
                return false;
            }
            if (offset + count * width > data.size()) {
                *error = "the weights file is too short for " + name;
                return false;
            }
            const auto* bytes = reinterpret_cast<const unsigned char*>(data.data()) + offset;
            tensor.values.resize(count);
            const double scale = quantization["scale"].number();
            const double minimum = quantization["min"].number();
            for (std::size_t i = 0; i < count; ++i) {
                const unsigned char* at = bytes + i * width;
                if (stored == "float32") {
                    std::memcpy(&tensor.values[i], at, 4);
                } else if (stored == "int32") {
                    std::int32_t v;
                    std::memcpy(&v, at, 4);
                    tensor.values[i] = float(v);
                } else if (stored == "uint8") {
                    tensor.values[i] = float(minimum + scale * at[0]);
                } else {
                    std::uint16_t v;
                    std::memcpy(&v, at, 2);
                    tensor.values[i] = stored == "float16" ? halfToFloat(v) : float(minimum + scale * v);
                }
            }
            offset += count * width;
            (*tensors)[name] = std::move(tensor);
        }
        if (offset != data.size()) {
            *error = "the weights file does not match model.json";
            return false;
        }
    }
    return true;
}

class WeightTable
{
public:
    explicit WeightTable(std::map<std::string, Tensor> loaded) : tensors(std::move(loaded)) {}

    // The tensor called prefix + name, checked to have the given shape; empty (with the reason
    // kept for error()) when it does not.
    std::vector<float> take(const std::string& name, const std::vector<int>& shape)
    {
        const auto it = tensors.find(prefix + name);
        if (it == tensors.end()) {
            fail("the weight " + name + " is missing");
            return {};
        }
        if (it->second.shape != shape) {
            fail("the weight " + name + " has the shape " + shapeText(it->second.shape) + ", not "
                 + shapeText(shape));
            return {};
        }
        return std::move(it->second.values);
    }

    Conv conv(const std::string& layer, int kh, int kw, int in, int out, int strideF, bool batchNormFolded)
    {
        Conv c;
        c.kh = kh;
        c.kw = kw;
        c.in = in;
        c.out = out;
        c.strideF = strideF;
        // Where a batch normalisation follows a convolution the converter folded it in, and the
        // tensors are named after the fused operation.
        c.weights = take(layer + (batchNormFolded ? "/Conv2D_weights" : "/Conv2D/ReadVariableOp"), {kh, kw, in, out});
        c.bias = take(layer + (batchNormFolded ? "/Conv2D_bn_offset" : "/BiasAdd/ReadVariableOp"), {out});
        return c;
    }

    float scalar(const std::string& name)
    {
        const std::vector<float> values = take(name, {1});
        return values.empty() ? 0.0f : values[0];
    }

    const std::string& error() const { return firstError; }

private:
    void fail(const std::string& why)
    {
        if (firstError.empty())
            firstError = why;
    }

    std::map<std::string, Tensor> tensors;
    std::string firstError;
};

float activate(float s, Activation activation)
{
    switch (activation) {
    case Activation::Relu: return std::max(s, 0.0f);
    case Activation::Sigmoid: return 1.0f / (1.0f + std::exp(-s));
    case Activation::None: break;
    }
    return s;
}

// The inner loops of convolve() for Outs output channels known when compiling, so that the sums
// stay in vector registers. Along a frame, the kw bins × in channels that one output reads lie
// side by side, and so do the matching weights: each kernel row is a small matrix-vector product.
// Block neighbouring outputs are computed together, so that each weight loaded serves them all.
template <int Outs, int Block>
void convolveBins(const float* padded, std::size_t paddedRow, int firstBin, const Conv& c, Activation activation,
                  float* out)
{
    const std::size_t span = std::size_t(c.kw) * std::size_t(c.in);
    const std::size_t binStep = std::size_t(c.strideF) * std::size_t(c.in);
    float sum[Block][Outs];
    for (int j = 0; j < Block; ++j)
        for (int o = 0; o < Outs; ++o)
            sum[j][o] = c.bias[std::size_t(o)];
    for (int dt = 0; dt < c.kh; ++dt) {
        const float* row = padded + std::size_t(dt) * paddedRow + std::size_t(firstBin) * binStep;
        const float* w = &c.weights[std::size_t(dt) * span * Outs];
        for (std::size_t i = 0; i < span; ++i) {
            const float* wi = w + i * Outs;
            for (int j = 0; j < Block; ++j) {
                const float v = row[std::size_t(j) * binStep + i];
                for (int o = 0; o < Outs; ++o)
                    sum[j][o] += v * wi[o];
            }
        }
    }
    for (int j = 0; j < Block; ++j)
        for (int o = 0; o < Outs; ++o)
            out[std::size_t(firstBin + j) * Outs + std::size_t(o)] = activate(sum[j][o], activation);
}

template <int Outs>
void convolveFrame(const float* padded, std::size_t paddedRow, int outBins, const Conv& c, Activation activation,
                   float* out)
{
    // Eight channels leave room in the registers for four outputs at once; 32 fill them alone.
    constexpr int block = Outs <= 8 ? 4 : 1;
    int f = 0;
    for (; f + block <= outBins; f += block)
        convolveBins<Outs, block>(padded, paddedRow, f, c, activation, out);
    for (; f < outBins; ++f)
        convolveBins<Outs, 1>(padded, paddedRow, f, c, activation, out);
}

// One output channel: a dot product, summed in eight lanes that the compiler can vectorise.
template <>
void convolveFrame<1>(const float* padded, std::size_t paddedRow, int outBins, const Conv& c, Activation activation,
                      float* out)
{
    constexpr std::size_t lanes = 8;
    const std::size_t span = std::size_t(c.kw) * std::size_t(c.in);
    for (int f = 0; f < outBins; ++f) {
        float sum[lanes] = {};
        float tail = c.bias[0];
        for (int dt = 0; dt < c.kh; ++dt) {
            const float* row = padded + std::size_t(dt) * paddedRow + std::size_t(f * c.strideF) * std::size_t(c.in);
            const float* w = &c.weights[std::size_t(dt) * span];
            std::size_t i = 0;
            for (; i + lanes <= span; i += lanes)
                for (std::size_t l = 0; l < lanes; ++l)
                    sum[l] += row[i + l] * w[i + l];
            for (; i < span; ++i)
                tail += row[i] * w[i];
        }
        for (float s : sum)
            tail += s;
        out[f] = activate(tail, activation);
    }
}

// Runs work(first, end) over the frames [0, frames), split between two threads: the machines
// this runs on have two cores or more, and every frame is computed alike whichever thread takes it.
template <typename Work>
void splitFrames(int frames, const Work& work)
{
    const int half = frames / 2;
    std::thread other([&] { work(half, frames); });
    work(0, half);
    other.join();
}

// *out = activation(conv(in)) over [frames][bins][c.in] → [frames][outBins][c.out], with the
// padding TensorFlow calls "same": as much zero on each side as the kernel overhangs, the odd
// one after. Returns outBins; *padded is scratch, kept by the caller so that its memory is reused.
int convolve(const std::vector<float>& in, int frames, int bins, const Conv& c, Activation activation,
             std::vector<float>* padded, std::vector<float>* out)
{
    const int outBins = (bins + c.strideF - 1) / c.strideF;
    const int padF = std::max((outBins - 1) * c.strideF + c.kw - bins, 0);
    const int left = padF / 2;
    const int top = (c.kh - 1) / 2;
    const std::size_t paddedRow = std::size_t(bins + padF) * std::size_t(c.in);
    const int paddedFrames = frames + c.kh - 1;

    padded->assign(std::size_t(paddedFrames) * paddedRow, 0.0f);
    const std::size_t inRow = std::size_t(bins) * std::size_t(c.in);
    for (int t = 0; t < frames; ++t)
        std::copy_n(&in[std::size_t(t) * inRow], inRow,
                    &(*padded)[std::size_t(t + top) * paddedRow + std::size_t(left) * std::size_t(c.in)]);

    const std::size_t outRow = std::size_t(outBins) * std::size_t(c.out);
    out->resize(std::size_t(frames) * outRow);
    splitFrames(frames, [&](int first, int end) {
        for (int t = first; t < end; ++t) {
            const float* from = &(*padded)[std::size_t(t) * paddedRow];
            float* to = &(*out)[std::size_t(t) * outRow];
            switch (c.out) {
            case 1: convolveFrame<1>(from, paddedRow, outBins, c, activation, to); break;
            case 8: convolveFrame<8>(from, paddedRow, outBins, c, activation, to); break;
            case 32: convolveFrame<32>(from, paddedRow, outBins, c, activation, to); break;
            default: break; // build() loads no other width
            }
        }
    });
    return outBins;
}

} // namespace

struct BasicPitch::Model
{
    // Per octave, the top octave first: the constant-Q filters [tap][bin], real and imaginary parts.
    std::vector<std::vector<float>> cqtReal, cqtImag;
    std::vector<std::vector<float>> lowpass; // the anti-aliasing filter before each halving
    std::vector<float> binScale;              // per kept bin, the square root of its filter's length
    float levelScale = 1, levelOffset = 0;     // the batch normalisation after the decibel scale
    std::vector<int> harmonicShifts;           // in bins, per stacked channel
    Conv contourHidden, contour, noteHidden, note, onsetHidden, onset;

    bool build(WeightTable& table);
    // The constant-Q magnitudes of one window: [frame][bin], framesOut frames of cqtBins bins.
    std::vector<float> constantQ(const std::vector<float>& window, int* framesOut) const;
    // The buffers of one run, kept from window to window so that their memory is reused.
    struct Workspace
    {
        std::vector<float> padded, stacked, hidden, pitch, noteFeatures, onsetFeatures, joined, notes, onsets;
    };
    // One window through the whole network: notes and onsets, [frame][key], in work->notes and
    // work->onsets. Returns the number of frames (0 when the window is too short).
    int runWindow(const std::vector<float>& window, Workspace* work) const;
};

bool BasicPitch::Model::build(WeightTable& table)
{
    const std::string cqt = "cq_t2010v2_1/";
    for (int octave = 0; octave < octaves; ++octave) {
        // The converter numbered the three 1-D convolutions of each octave in turn: real part,
        // imaginary part, then the low-pass filter for the octave below.
        const auto name = [&](int index) {
            return cqt + (index ? "conv1d_" + std::to_string(index) : std::string("conv1d")) + "/ExpandDims_1";
        };
        cqtReal.push_back(table.take(name(3 * octave), {1, cqtTaps, 1, binsPerOctave}));
        cqtImag.push_back(table.take(name(3 * octave + 1), {1, cqtTaps, 1, binsPerOctave}));
        if (octave + 1 < octaves)
            lowpass.push_back(table.take(name(3 * octave + 2), {1, lowpassTaps, 1, 1}));
    }
    binScale = table.take(cqt + "Sqrt", {cqtBins, 1, 1});
    levelScale = table.scalar("batch_normalization/FusedBatchNormV3/Scaled");
    levelOffset = table.scalar("batch_normalization/FusedBatchNormV3/Offset");

    // Harmonic h lies 36·log2(h) bins above the fundamental (rounded to a bin).
    const double harmonicsStacked[harmonicCount] = {0.5, 1, 2, 3, 4, 5, 6, 7};
    for (double h : harmonicsStacked)
        harmonicShifts.push_back(int(std::lround(binsPerOctave * std::log2(h))));

    contourHidden = table.conv("conv2d_1", 3, 39, harmonicCount, 8, 1, true);
    contour = table.conv("contours-reduced", 5, 5, 8, 1, 1, false);
    noteHidden = table.conv("conv2d_2", 7, 7, 1, 32, 3, false);
    note = table.conv("conv2d_3", 7, 3, 32, 1, 1, false);
    onsetHidden = table.conv("conv2d_4", 5, 5, harmonicCount, 32, 3, true);
    onset = table.conv("conv2d_5", 3, 3, 33, 1, 1, false);
    return table.error().empty();
}

std::vector<float> BasicPitch::Model::constantQ(const std::vector<float>& window, int* framesOut) const
{
    const int firstKept = octaves * binsPerOctave - cqtBins;
    std::vector<float> signal = window;
    std::vector<float> magnitude;
    int frames = -1;
    for (int octave = 0; octave < octaves; ++octave) {
        const int length = int(signal.size());
        const int hop = hopSamples >> octave; // the rate halves each octave, and so does the hop
        const int half = cqtTaps / 2;
        if (length <= half)
            return {};
        // Each frame is centred on its hop, the ends mirrored (without repeating the edge sample).
        std::vector<float> padded(std::size_t(length + 2 * half));
        for (int i = 0; i < length + 2 * half; ++i) {
            int at = i - half;
            if (at < 0)
                at = -at;
            else if (at >= length)
                at = 2 * (length - 1) - at;
            padded[std::size_t(i)] = signal[std::size_t(at)];
        }
        const int octaveFrames = length / hop + 1;
        if (frames < 0) {
            frames = octaveFrames;
            magnitude.assign(std::size_t(frames) * cqtBins, 0.0f);
        } else if (octaveFrames != frames) {
            return {};
        }
        const std::vector<float>& real = cqtReal[std::size_t(octave)];
        const std::vector<float>& imag = cqtImag[std::size_t(octave)];
        const int stackBase = (octaves - 1 - octave) * binsPerOctave - firstKept; // lowest octave first
        float re[binsPerOctave], im[binsPerOctave];
        for (int t = 0; t < frames; ++t) {
            std::fill(re, re + binsPerOctave, 0.0f);
            std::fill(im, im + binsPerOctave, 0.0f);
            const float* x = &padded[std::size_t(t * hop)];
            for (int tap = 0; tap < cqtTaps; ++tap) {
                const float v = x[tap];
                const float* r = &real[std::size_t(tap * binsPerOctave)];
                const float* i = &imag[std::size_t(tap * binsPerOctave)];
                for (int b = 0; b < binsPerOctave; ++b) {
                    re[b] += v * r[b];
                    im[b] += v * i[b];
                }
            }
            for (int b = 0; b < binsPerOctave; ++b) {
                const int bin = stackBase + b;
                if (bin < 0)
                    continue;
                const float scale = binScale[std::size_t(bin)];
                const float a = re[b] * scale, c = im[b] * scale;
                magnitude[std::size_t(t) * cqtBins + std::size_t(bin)] = std::sqrt(a * a + c * c);
            }
        }
        if (octave + 1 == octaves)
            break;
        // Low-pass and keep every second sample: zero padding of 127 each side, taps read forwards.
        const int pad = lowpassTaps / 2 - 1;
        std::vector<float> zeroPadded(std::size_t(length + 2 * pad), 0.0f);
        std::copy(signal.begin(), signal.end(), zeroPadded.begin() + pad);
        const int halved = (length + 2 * pad - lowpassTaps) / 2 + 1;
        const std::vector<float>& filter = lowpass[std::size_t(octave)];
        std::vector<float> next(static_cast<std::size_t>(halved));
        for (int n = 0; n < halved; ++n) {
            const float* x = &zeroPadded[std::size_t(2 * n)];
            float sum = 0;
            for (int tap = 0; tap < lowpassTaps; ++tap)
                sum += x[tap] * filter[std::size_t(tap)];
            next[std::size_t(n)] = sum;
        }
        signal.swap(next);
    }
    *framesOut = frames;
    return magnitude;
}

int BasicPitch::Model::runWindow(const std::vector<float>& window, Workspace* work) const
{
    int frames = 0;
    std::vector<float> level = constantQ(window, &frames);
    if (level.empty())
        return 0;

    // Decibels, scaled to 0…1 over the window (so the network does not care how loud the
    // microphone is), then the batch normalisation's scale and offset.
    float lowest = std::numeric_limits<float>::max(), highest = std::numeric_limits<float>::lowest();
    for (float& v : level) {
        v = std::log(v * v + 1e-10f) * float(10.0 / std::log(10.0));
        lowest = std::min(lowest, v);
        highest = std::max(highest, v);
    }
    const float range = highest - lowest;
    for (float& v : level)
        v = (range > 0 ? (v - lowest) / range : 0.0f) * levelScale + levelOffset;

    // [frame][bin][harmonic]: channel h of bin b holds the level where the h-th stacked harmonic
    // of bin b's pitch lies, zero past the top of the spectrum.
    std::vector<float>& stacked = work->stacked;
    stacked.assign(std::size_t(frames) * contourBins * harmonicCount, 0.0f);
    for (int t = 0; t < frames; ++t)
        for (int b = 0; b < contourBins; ++b)
            for (int h = 0; h < harmonicCount; ++h) {
                const int from = b + harmonicShifts[std::size_t(h)];
                if (from >= 0 && from < cqtBins)
                    stacked[(std::size_t(t) * contourBins + std::size_t(b)) * harmonicCount + std::size_t(h)] =
                        level[std::size_t(t) * cqtBins + std::size_t(from)];
            }

    // The pitch contour (three bins a semitone), and from it the notes (one a key).
    std::vector<float>* scratch = &work->padded;
    int bins = convolve(stacked, frames, contourBins, contourHidden, Activation::Relu, scratch, &work->hidden);
    bins = convolve(work->hidden, frames, bins, contour, Activation::Sigmoid, scratch, &work->pitch);
    bins = convolve(work->pitch, frames, bins, noteHidden, Activation::Relu, scratch, &work->noteFeatures);
    const int keys = convolve(work->noteFeatures, frames, bins, note, Activation::Sigmoid, scratch, &work->notes);

    // The onsets, from the stacked spectrum and the notes beside it (the notes first).
    convolve(stacked, frames, contourBins, onsetHidden, Activation::Relu, scratch, &work->onsetFeatures);
    const std::size_t channels = std::size_t(onsetHidden.out) + 1;
    work->joined.resize(std::size_t(frames) * std::size_t(keys) * channels);
    for (std::size_t i = 0; i < std::size_t(frames) * std::size_t(keys); ++i) {
        work->joined[i * channels] = work->notes[i];
        std::copy_n(&work->onsetFeatures[i * (channels - 1)], channels - 1, &work->joined[i * channels + 1]);
    }
    convolve(work->joined, frames, keys, onset, Activation::Sigmoid, scratch, &work->onsets);
    return frames;
}

BasicPitch::BasicPitch(std::unique_ptr<Model> built) : model(std::move(built)) {}
BasicPitch::~BasicPitch() = default;

std::unique_ptr<BasicPitch> BasicPitch::load(const std::string& folder, std::string* error)
{
    std::string ignored;
    std::string& why = error ? *error : ignored;
    std::string text;
    if (!readFile(folder + "/model.json", &text)) {
        why = "cannot read " + folder + "/model.json (scripts/fetch-basic-pitch.sh fetches it)";
        return nullptr;
    }
    std::string parseError;
    const std::unique_ptr<JsonValue> root = JsonValue::parse(text, &parseError);
    if (!root) {
        why = "model.json is no JSON: " + parseError;
        return nullptr;
    }
    if ((*root)["format"].string() != "graph-model") {
        why = "model.json holds no TensorFlow.js graph model";
        return nullptr;
    }
    // The graph's input must be the windows this code cuts.
    bool inputFits = false;
    for (const JsonValue& node : (*root)["modelTopology"]["node"].array()) {
        if (node["op"].string() != "Placeholder")
            continue;
        const std::vector<JsonValue>& dims = node["attr"]["shape"]["shape"]["dim"].array();
        inputFits = dims.size() == 3 && dims[1]["size"].string() == std::to_string(windowSamples);
    }
    if (!inputFits) {
        why = "the model does not take windows of " + std::to_string(windowSamples) + " samples";
        return nullptr;
    }
    std::map<std::string, Tensor> tensors;
    if (!readWeights(folder, (*root)["weightsManifest"], &tensors, &why))
        return nullptr;
    WeightTable table(std::move(tensors));
    auto model = std::make_unique<Model>();
    if (!model->build(table)) {
        why = table.error();
        return nullptr;
    }
    return std::unique_ptr<BasicPitch>(new BasicPitch(std::move(model)));
}

std::string BasicPitch::defaultFolder()
{
#ifdef CANTORELA_BASIC_PITCH_DIR
    return CANTORELA_BASIC_PITCH_DIR;
#else
    return {};
#endif
}

BasicPitch::Posteriors BasicPitch::run(const float* samples, std::size_t count, double sampleRate) const
{
    std::vector<float> resampled;
    if (sampleRate != modelRate) {
        resampled = resampleSound(samples, count, sampleRate, modelRate);
        samples = resampled.data();
        count = resampled.size();
    }

    Posteriors result;
    result.framesPerSecond = modelRate / hopSamples;
    const auto wanted = int(count * countedFramesPerSecond / std::size_t(modelRate));
    const std::size_t paddedCount = count + leadIn;
    std::vector<float> window(windowSamples);
    Model::Workspace work;
    for (std::size_t start = 0; start < paddedCount && result.frames < wanted; start += windowStep) {
        // The window over [lead-in zeros, sound, zeros past its end].
        for (int i = 0; i < windowSamples; ++i) {
            const long at = long(start) + i - leadIn;
            window[std::size_t(i)] = at >= 0 && at < long(count) ? samples[at] : 0.0f;
        }
        const int frames = model->runWindow(window, &work);
        const int keep = std::min(frames - 2 * edgeFrames, wanted - result.frames);
        if (keep <= 0)
            break;
        const auto from = std::size_t(edgeFrames) * keyCount;
        const auto to = from + std::size_t(keep) * keyCount;
        result.notes.insert(result.notes.end(), work.notes.begin() + long(from), work.notes.begin() + long(to));
        result.onsets.insert(result.onsets.end(), work.onsets.begin() + long(from), work.onsets.begin() + long(to));
        result.frames += keep;
    }
    return result;
}

double BasicPitch::frameSample(int frame)
{
    const int keptPerWindow = (windowSamples / hopSamples + 1) - 2 * edgeFrames;
    return double(frame / keptPerWindow) * windowStep + double(frame % keptPerWindow) * hopSamples;
}

double BasicPitch::frameHeardUpTo(int frame)
{
    const int keptPerWindow = (windowSamples / hopSamples + 1) - 2 * edgeFrames;
    return double(frame / keptPerWindow) * windowStep + windowSamples - leadIn;
}

std::vector<HeardOnset> basicPitchOnsets(const BasicPitch& model, const float* samples, std::size_t count,
                                         double sampleRate, const BasicPitchThresholds& thresholds)
{
    const BasicPitch::Posteriors heard = model.run(samples, count, sampleRate);
    const auto at = [&](const std::vector<float>& posteriors, int frame, int key) {
        return posteriors[std::size_t(frame) * BasicPitch::keyCount + std::size_t(key)];
    };

    // Each key's first onset: a peak of its onset posterior over the threshold, followed by the
    // note posterior held over its threshold for long enough.
    struct Candidate
    {
        int key;
        int frame;
        float strength;
    };
    std::vector<Candidate> candidates;
    for (int key = 0; key < BasicPitch::keyCount; ++key) {
        for (int f = 0; f < heard.frames; ++f) {
            const float o = at(heard.onsets, f, key);
            const bool peak = o >= thresholds.onset && (f == 0 || o >= at(heard.onsets, f - 1, key))
                              && (f + 1 == heard.frames || o >= at(heard.onsets, f + 1, key));
            if (!peak)
                continue;
            int held = 0;
            while (f + held < heard.frames && at(heard.notes, f + held, key) >= thresholds.note)
                ++held;
            if (held >= thresholds.minNoteFrames) {
                candidates.push_back({key + BasicPitch::lowestKey, f, o});
                break;
            }
        }
    }
    if (candidates.empty())
        return {};

    // One strike: the keys whose onsets follow the first within the chord spread, the strongest.
    const int first = std::min_element(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
                          return a.frame < b.frame;
                      })->frame;
    const double spreadFrames = thresholds.chordSpreadMs / 1000.0 * heard.framesPerSecond;
    candidates.erase(std::remove_if(candidates.begin(), candidates.end(),
                                    [&](const Candidate& c) { return c.frame - first > spreadFrames; }),
                     candidates.end());
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate& a, const Candidate& b) { return a.strength > b.strength; });
    if (int(candidates.size()) > thresholds.maxKeys)
        candidates.resize(std::size_t(std::max(thresholds.maxKeys, 0)));

    HeardOnset onset;
    int decided = first;
    for (const Candidate& c : candidates) {
        onset.keys.push_back(c.key);
        decided = std::max(decided, c.frame + thresholds.minNoteFrames - 1);
    }
    std::sort(onset.keys.begin(), onset.keys.end());
    const double msPerSample = 1000.0 / BasicPitch::modelRate;
    const double clipMs = double(count) * 1000.0 / sampleRate;
    onset.onsetMs = BasicPitch::frameSample(first) * msPerSample;
    onset.reportedMs = std::min(clipMs, BasicPitch::frameHeardUpTo(decided) * msPerSample);
    return {onset};
}

} // namespace Listen
