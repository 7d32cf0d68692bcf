// Pictures waiting to be encoded and written, by two threads of their own while the next
// picture is drawn: on a batch, encoding a PNG takes longer than drawing it. They also print
// each picture's progress line, in the jobs' order.
#pragma once
#include <windows.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "box_renderer.h"
#include "decoded_image.h"
#include "render_job.h"

class WriteQueue {
public:
    // bTimings: each progress line is followed by where the picture's time went.
    explicit WriteQueue(bool bTimings = false);
    ~WriteQueue();  // finishes every queued picture
    WriteQueue(const WriteQueue&) = delete;
    WriteQueue& operator=(const WriteQueue&) = delete;

    // A drawn picture to write; waits while two are already waiting (each may be large).
    // where: the job's line, named when the picture cannot be written.
    void Push(const std::wstring& counter, const std::wstring& where, const RenderJob& job, DecodedImage picture,
              double startedAt,
              const PictureDrawTimings& drawn = PictureDrawTimings());
    // A picture drawn straight into its file: reported in its turn.
    void PushWritten(const std::wstring& counter, const RenderJob& job, double startedAt,
                     const PictureDrawTimings& drawn);
    // A job that failed before it was drawn: reported in its turn.
    void PushFailure(const std::wstring& line);
    // A picture an earlier run finished (--resume): left as it is, reported in its turn.
    void PushKept(const std::wstring& counter, const std::wstring& output);
    void Finish();
    // A written picture's buffer, to draw the next picture into (empty when none is free):
    // a batch reuses a few instead of faulting in new memory for every picture.
    DecodedImage TakeSpare();

    size_t Written() const { return m_nWritten; }
    size_t Failed() const { return m_nFailed; }
    size_t Kept() const { return m_nKept; }

private:
    struct Item {
        size_t sequence;
        std::wstring counter;
        std::wstring where;
        RenderJob job;
        DecodedImage picture;
        double startedAt;
        std::wstring failure;  // not empty: only report this
        PictureDrawTimings drawn;
        bool bWritten = false;  // drawn into its file already
        bool bKept = false;     // finished by an earlier run
    };
    enum class Outcome { Written, Failed, Kept };
    void Run();
    void Enqueue(Item item);
    void Report(size_t sequence, Outcome outcome, const std::wstring& errLine, const std::wstring& outLine);

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Item> m_items;
    std::vector<DecodedImage> m_spares;
    bool m_bFinishing = false;
    const bool m_bTimings;
    size_t m_nWritten = 0, m_nFailed = 0, m_nKept = 0;
    size_t m_nQueued = 0;     // sequence numbers given out
    size_t m_nReported = 0;   // the next sequence number to report
    std::thread m_threads[2];
};

double SecondsNow();
// "  draw 12.0 ms, resolve ..., write 3.1 ms" on a line of its own, for --timings.
std::wstring TimingsLine(const PictureDrawTimings& drawn, const struct PictureTimings& written);
std::wstring Milliseconds(double seconds);
