#pragma once

#include "platform/audio/MediaFilterList.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

typedef struct _GstElement GstElement;
typedef struct _GstPad GstPad;
typedef struct _GstBus GstBus;
typedef struct _GstMessage GstMessage;

namespace platform::audio {

class GraphStateChange;
class PadLinks;
class RendererFeed;
namespace prerolltimeouts {
class Loading;
}

enum class GraphState { Stopped, Paused, Running };
enum class PinDirection { Input, Output };

// A pin of a filter: a pad of its element, or the template of pads that
// appear while the stream is read (a demuxer's "audio_%u").
struct MediaPin {
    PinDirection direction = PinDirection::Input;
    std::string id;
};

// A media graph on GStreamer, as a filter graph was: filters are added by
// their registered friendly name (or, for the layer's own uses, by element
// factory), connected output pin to input pin (a connection that needs a
// parser or decoder between gets the automatic decoder), or the whole graph
// is built for a file at once. Renderers are voices on our output devices.
//
// A built graph is prepared (prerolled) on first use: then its duration and
// sound format are known and decoding runs ahead into the renderers' voices,
// paused, so that Run sounds at the next mixer period. Positions count the
// frames the device has played, so they never run ahead of what was heard.
//
// Every member belongs to the program's thread. Waits are bounded and keep
// the sample-position players fed (platform::RefillIfDue); the preparation's
// wait also pumps events (platform::Pump). A file on a share that stops
// answering never holds that thread: the graph starts, seeks and stops on
// threads of its own. A seek not answered within AnswerMs goes on without
// the program's thread (the voices hold their sound until it lands); one not
// answered within PrerollLimitMs on the program's clock fails the graph. A
// graph that failed so, or does not stop within its limit, is left to stop
// and free itself once its reads return (see GraphReaper), and its files
// count as given up on meanwhile (platform::givenup); the graph is then
// empty (not Valid), as one whose GStreamer did not start.
class MediaGraph {
public:
    MediaGraph();
    ~MediaGraph();
    MediaGraph(const MediaGraph&) = delete;
    MediaGraph& operator=(const MediaGraph&) = delete;

    // False when GStreamer could not start, or the graph was left to stop on
    // its own: nothing can be built.
    bool Valid() const { return pipeline_ != nullptr; }
    // The filters of the audio system in force, in their registered order.
    const std::vector<MediaFilter>& Registered() const { return registered_; }

    // Building. Each returns the filter's index in the graph, or -1.
    int AddFilter(const MediaFilter& filter);
    int AddElement(std::string_view factory, std::string_view name);
    int FilterCount() const { return static_cast<int>(filters_.size()); }
    std::string FilterName(int filter) const;
    bool IsFileSource(int filter) const;
    std::string SourceFileName(int filter) const;
    bool SetSourceFileName(int filter, std::string_view path);
    bool SetSinkFileName(int filter, std::string_view path);
    // A property of the filter's element from its text form; false when the
    // element has no such property or the text does not fit it.
    bool SetProperty(int filter, std::string_view property, std::string_view value);
    // The filter's pins in order: its pads, then the templates of the pads it
    // makes while reading.
    std::vector<MediaPin> Pins(int filter) const;
    // The index of the filter's first pin of that direction, -1 when none.
    int FirstPin(int filter, PinDirection direction) const;
    // Connects an output pin to an input pin, with the automatic decoder
    // between when the output cannot feed the input as it is. A pin that
    // appears only while the stream is read is linked then; a refusal then
    // shows when the graph is prepared.
    bool Connect(int fromFilter, int fromPin, int toFilter, int toPin);
    // Undoes the connections of an output pin; false when it had none.
    bool Disconnect(int filter, int pin);
    // True when every connection made from the filter's outputs holds (after
    // Prepare: was really made).
    bool OutputConnected(int filter) const;
    // The whole graph for a file: source, automatic decoder and a renderer on
    // output device (0 the default), prepared.
    bool RenderFile(std::string_view path, int device);
    // Prerolls the graph once (again after a failure, once it was changed).
    // The wait pumps events and feeds the players; a graph that has not
    // prerolled within PrerollLimitMs fails ("the graph did not preroll in
    // time").
    bool Prepare();
    static int PrerollLimitMs();
    static constexpr int StopLimitMs = 500;
    // How long a seek is waited for.
    static constexpr int AnswerMs = 100;
    // 0 or less restores the default (5000 ms).
    static void SetPrerollLimitMs(int ms);
    bool Prepared() const { return preparedOk_; }
    // Why the last preparation or command failed.
    const std::string& LastError() const { return lastError_; }

    // Transport. Stop keeps the position; Run goes on from it.
    bool Run();
    bool Pause();
    bool Stop();
    GraphState State() const { return state_; }
    // True once the stream has ended and every renderer has played all of
    // it, or the graph failed while it played.
    bool Completed();
    // Seconds; 0 when not known.
    double Duration();
    double CurrentPosition();
    // Moves to a position, keeping the end position set.
    bool SetCurrentPosition(double seconds);
    // Moves to start and ends the stream at stop (none: at its end).
    bool SetPlayRange(double start, std::optional<double> stop);
    double Rate() const { return rate_; }
    bool SetRate(double rate);
    // Volume -10000 (silence) .. 0 and balance -10000 (left only) .. 10000, in
    // 1/100 dB of attenuation as the graph interfaces count them.
    int Volume() const { return volume_; }
    bool SetVolume(int volume);
    int Balance() const { return balance_; }
    bool SetBalance(int balance);
    bool HasRenderer() const;
    // The output device of the first renderer, -1 without one.
    int RendererDevice() const;

    // An output device lost while open (unplugged) silences the renderers on
    // it. Polled as the players read their state: syncs the renderers'
    // devices (virtual time; their log events), lets the audio system open
    // lost devices that are back (at most once a second), and tells whether
    // every renderer's device was lost, so that nothing of the graph sounds
    // (LastError then says so).
    bool PollOutputLost();
    // A renderer is on a lost device (or the graph could not be prepared
    // because of one): nothing of it sounds until ReopenLostRenderers.
    bool RendererLost() const;
    // Stops the graph where it got to (a voice on a lost device goes on at
    // the device's pace, as the listener would have heard it) and gives the
    // renderers on lost devices new voices (the audio system opens a lost
    // device afresh when it is back); the next run decodes again from the
    // position, with the end, rate and levels kept. True at once when no
    // renderer is lost; false (logged, with LastError) while a device is not
    // back. Run does it first, so a graph never runs into a lost device.
    bool ReopenLostRenderers();

    // A graph without renderers (a writer): runs it and waits up to timeoutMs
    // for its end; true when it ended without error.
    bool RunToEnd(int timeoutMs);

    // Waits up to timeoutMs until every renderer holds as much decoded sound
    // as it takes ahead, or the stream has ended.
    bool WaitBuffered(int timeoutMs);
    // Milliseconds decoded and queued ahead of the device (least of the renderers).
    int BufferedMs();

private:
    struct Filter;
    struct Connection;
    struct Remains;
    // A seek sent to the graph's thread and not answered yet, and where the
    // voices are to go once it is.
    struct PendingSeek {
        std::int64_t frame = 0;
        std::optional<double> stop;
        std::int64_t wantedFrame = 0;
        std::optional<double> wantedStop;
        std::int64_t sinceMs = 0;
        // Readies the voices for the next press (see ReadyNextPress) while
        // the graph stands where it stopped.
        bool readying = false;
    };

    Filter* Live(int filter) const;
    // Undoes the preparation before the graph is changed; false when the
    // graph was left to stop on its own meanwhile (then nothing of it may be
    // touched: its elements are the reaper's).
    bool Unprepare();
    void DropConnection(Connection& connection);
    template <typename Action> void ForEachFeed(Action action);
    RendererFeed* FirstFeed() const;
    bool Seek(std::int64_t startFrame, std::optional<double> stop);
    // With the streams held: sends the seek and waits up to AnswerMs for it.
    bool SendSeek(std::int64_t startFrame, std::optional<double> stop, bool readying = false);
    // Stop, without readying the voices for the next press.
    bool Halt();
    // A stopped graph decodes from where its last run began into its paused
    // voices, as a graph just loaded holds its start: the next press from
    // there starts at once, whole, however slowly the file is read.
    void ReadyNextPress();
    // The seek has answered: the voices go on from its position.
    bool FinishSeek();
    // The seek under way has gone unanswered for the preroll limit.
    bool SeekOverdue() const;
    // Finishes a seek that has answered meanwhile, or fails the graph when
    // it has not answered within its limit.
    void SettleSeek();
    void RemoveUnreachable();
    bool WaitPrerolled(const prerolltimeouts::Loading& loading);
    // Stops the pipeline, false when it was left to stop on its own (at once
    // when stuck: a read is known not to return).
    bool StopPipeline(bool stuck);
    std::unique_ptr<Remains> TakeRemains();
    // The files the graph's file sources read.
    std::vector<std::string> SourceFiles() const;
    bool OpenRenderers();
    void NoteBrokenLink(GstMessage* message);
    void Fail(std::string reason, bool stuck = false);
    void DrainBus();
    void ApplyGains();
    // Adds up how long the renderers went silent for want of decoded sound
    // (a file read too slowly); Report logs it once the play is over (its
    // stop, its end or the graph's end), one line a play.
    void GatherShortfall();
    void ReportShortfall();
    std::int64_t PositionFrames();
    std::int64_t FramesOf(double seconds) const;

    std::vector<MediaFilter> registered_;
    GstElement* pipeline_ = nullptr;
    GstBus* bus_ = nullptr;
    std::unique_ptr<PadLinks> links_;
    // The last call on the graph's threads (its start, then its seeks), from
    // the preparation on; null while the pipeline is stopped.
    std::unique_ptr<GraphStateChange> starting_;
    std::optional<PendingSeek> seeking_;
    std::vector<std::unique_ptr<Filter>> filters_;
    std::vector<Connection> connections_;
    int nextLink_ = 0;
    int brokenLink_ = -1; // the link a failed preparation blamed
    bool prepared_ = false;
    bool preparedOk_ = false;
    bool errored_ = false;
    bool endSeen_ = false;
    // The preparation failed because a renderer's device was lost.
    bool preparedOnLostDevice_ = false;
    GraphState state_ = GraphState::Stopped;
    // Renderers: the voices hold sound from the position on (false after Stop,
    // until the next seek).
    bool resumeReady_ = true;
    std::int64_t stoppedAt_ = 0;
    // Where the last run from a stop began, and where the stopped graph's
    // voices were readied from for the next press.
    std::optional<std::int64_t> playedFrom_;
    std::optional<std::int64_t> readiedAt_;
    std::optional<double> stop_;
    double rate_ = 1.0;
    int volume_ = 0;
    int balance_ = 0;
    std::string lastError_;
    std::int64_t shortMs_ = 0;
    // The play since the last Run has had its shortfall line (or none was due).
    bool playReported_ = true;
};

} // namespace platform::audio
