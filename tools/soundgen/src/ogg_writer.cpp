#include "ogg_writer.hpp"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <stdexcept>

namespace {

class Encoder {
   public:
    Encoder(int channels, int sampleRate, const OggOptions& o) : channels_(channels) {
        vorbis_info_init(&vi_);
        if (vorbis_encode_init_vbr(&vi_, channels, sampleRate, o.quality) != 0) {
            vorbis_info_clear(&vi_);
            throw std::runtime_error("vorbis encoder rejected the format");
        }
        vorbis_comment_init(&vc_);
        if (!o.title.empty()) vorbis_comment_add_tag(&vc_, "TITLE", o.title.c_str());
        vorbis_analysis_init(&vd_, &vi_);
        vorbis_block_init(&vd_, &vb_);
        ogg_stream_init(&os_, o.serial);
    }
    ~Encoder() {
        ogg_stream_clear(&os_);
        vorbis_block_clear(&vb_);
        vorbis_dsp_clear(&vd_);
        vorbis_comment_clear(&vc_);
        vorbis_info_clear(&vi_);
    }
    Encoder(const Encoder&) = delete;
    Encoder& operator=(const Encoder&) = delete;

    void writeHeaders() {
        ogg_packet id, comment, codebooks;
        vorbis_analysis_headerout(&vd_, &vc_, &id, &comment, &codebooks);
        ogg_stream_packetin(&os_, &id);
        ogg_stream_packetin(&os_, &comment);
        ogg_stream_packetin(&os_, &codebooks);
        // Audio must start on a fresh page.
        while (ogg_stream_flush(&os_, &og_)) appendPage();
    }

    void feed(const int16_t* interleaved, int frames) {
        float** buf = vorbis_analysis_buffer(&vd_, frames);
        for (int i = 0; i < frames; ++i)
            for (int c = 0; c < channels_; ++c) buf[c][i] = interleaved[i * channels_ + c] / 32768.f;
        vorbis_analysis_wrote(&vd_, frames);
        drain();
    }

    std::vector<uint8_t> finish() {
        vorbis_analysis_wrote(&vd_, 0);
        drain();
        while (ogg_stream_flush(&os_, &og_)) appendPage();
        return std::move(out_);
    }

   private:
    void drain() {
        ogg_packet op;
        while (vorbis_analysis_blockout(&vd_, &vb_) == 1) {
            vorbis_analysis(&vb_, nullptr);
            vorbis_bitrate_addblock(&vb_);
            while (vorbis_bitrate_flushpacket(&vd_, &op)) {
                ogg_stream_packetin(&os_, &op);
                while (ogg_stream_pageout(&os_, &og_)) appendPage();
            }
        }
    }
    void appendPage() {
        out_.insert(out_.end(), og_.header, og_.header + og_.header_len);
        out_.insert(out_.end(), og_.body, og_.body + og_.body_len);
    }

    int channels_;
    vorbis_info vi_;
    vorbis_comment vc_;
    vorbis_dsp_state vd_;
    vorbis_block vb_;
    ogg_stream_state os_;
    ogg_page og_;
    std::vector<uint8_t> out_;
};

}  // namespace

std::vector<uint8_t> encodeOggVorbis(const std::vector<int16_t>& interleaved, int channels, int sampleRate,
                                     const OggOptions& options) {
    Encoder enc(channels, sampleRate, options);
    enc.writeHeaders();
    const int total = static_cast<int>(interleaved.size()) / channels;
    constexpr int kChunk = 1024;
    for (int done = 0; done < total; done += kChunk)
        enc.feed(interleaved.data() + static_cast<std::size_t>(done) * channels, std::min(kChunk, total - done));
    return enc.finish();
}
