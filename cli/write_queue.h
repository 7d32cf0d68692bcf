// Pictures waiting to be encoded and written, handled in order by a thread of their own while
// the next picture is drawn: on a batch, encoding a PNG takes longer than drawing it. It also
// prints each picture's progress line, so the lines keep the jobs' order.
#pragma once
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "decoded_image.h"
#include "render_job.h"

class WriteQueue {
public:
    WriteQueue();
    ~WriteQueue();  // finishes every queued picture
    WriteQueue(const WriteQueue&) = delete;
    WriteQueue& operator=(const WriteQueue&) = delete;

    // A drawn picture to write; waits while two are already waiting (each may be large).
    void Push(const std::wstring& counter, const RenderJob& job, DecodedImage picture, double startedAt);
    // A job that failed before it was drawn: reported in its turn.
    void PushFailure(const std::wstring& line);
    void Finish();

    size_t Written() const { return m_nWritten; }
    size_t Failed() const { return m_nFailed; }

private:
    struct Item {
        std::wstring counter;
        RenderJob job;
        DecodedImage picture;
        double startedAt;
        std::wstring failure;  // not empty: only report this
    };
    void Run();
    void Enqueue(Item item);

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Item> m_items;
    bool m_bFinishing = false;
    size_t m_nWritten = 0, m_nFailed = 0;
    std::thread m_thread;
};

double SecondsNow();
std::wstring Milliseconds(double seconds);
