// add_telemetry IN OUT: copies the movie IN into OUT (MP4 or MOV) with a track of telemetry
// added, as action cameras write it ("gpmd"): 64 bytes every 250 ms, each its own, for as long
// as the movie's other packets go. ffmpeg itself cannot make such a track.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    AVFormatContext *in = nullptr, *out = nullptr;
    if (argc != 3 || avformat_open_input(&in, argv[1], nullptr, nullptr) < 0 ||
        avformat_find_stream_info(in, nullptr) < 0 ||
        avformat_alloc_output_context2(&out, nullptr, nullptr, argv[2]) < 0)
        return std::fprintf(stderr, "usage: add_telemetry IN OUT\n"), 2;
    for (unsigned i = 0; i < in->nb_streams; ++i) {
        AVStream* os = avformat_new_stream(out, nullptr);
        avcodec_parameters_copy(os->codecpar, in->streams[i]->codecpar);
        os->codecpar->codec_tag = 0;
        os->time_base = in->streams[i]->time_base;
    }
    AVStream* data = avformat_new_stream(out, nullptr);
    data->codecpar->codec_type = AVMEDIA_TYPE_DATA;
    data->codecpar->codec_id = AV_CODEC_ID_BIN_DATA;
    data->codecpar->codec_tag = MKTAG('g', 'p', 'm', 'd');
    data->time_base = {1, 1000};
    if (avio_open(&out->pb, argv[2], AVIO_FLAG_WRITE) < 0 ||
        avformat_write_header(out, nullptr) < 0)
        return std::fprintf(stderr, "add_telemetry: cannot write %s\n", argv[2]), 1;
    AVPacket* pkt = av_packet_alloc();
    int64_t next = 0; // the next telemetry packet's time, in milliseconds
    int failed = 0;
    while (!failed && av_read_frame(in, pkt) >= 0) {
        const AVRational from = in->streams[pkt->stream_index]->time_base;
        const int64_t at = av_rescale_q(pkt->dts, from, data->time_base);
        av_packet_rescale_ts(pkt, from, out->streams[pkt->stream_index]->time_base);
        failed = av_interleaved_write_frame(out, pkt) < 0;
        for (; !failed && at >= next; next += 250) {
            AVPacket* sample = av_packet_alloc();
            failed = av_new_packet(sample, 64) < 0;
            if (!failed) {
                std::memset(sample->data, 'A' + int(next / 250 % 26), 64);
                std::snprintf(reinterpret_cast<char*>(sample->data), 64, "%s %lld", argv[2],
                              static_cast<long long>(next));
                sample->stream_index = data->index;
                sample->pts = sample->dts = next;
                sample->duration = 250;
                failed = av_interleaved_write_frame(out, sample) < 0;
            }
            av_packet_free(&sample);
        }
    }
    av_packet_free(&pkt);
    failed = failed || av_write_trailer(out) < 0 || avio_closep(&out->pb) < 0;
    avformat_close_input(&in);
    avformat_free_context(out);
    return failed;
}
