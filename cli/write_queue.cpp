#include "write_queue.h"

#include <windows.h>

#include "console.h"
#include "picture_session.h"
#include "picture_writer.h"

double SecondsNow()
{
    static LARGE_INTEGER freq = [] { LARGE_INTEGER f; ::QueryPerformanceFrequency(&f); return f; }();
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(freq.QuadPart);
}

std::wstring Milliseconds(double seconds)
{
    return std::to_wstring(static_cast<long long>(seconds * 1000.0 + 0.5)) + L" ms";
}

std::wstring TimingsLine(const PictureDrawTimings& drawn, const PictureTimings& written)
{
    wchar_t line[256];
    swprintf(line, 256,
             L"\n  draw %.1f ms, resolve %.1f ms, read-back %.1f ms, convert %.1f ms, filter %.1f ms, "
             L"compress %.1f ms (both summed over the cores), encoding %.1f ms as waited for, write %.1f ms",
             drawn.drawSeconds * 1e3, drawn.resolveSeconds * 1e3, drawn.readbackSeconds * 1e3,
             drawn.convertSeconds * 1e3, written.filterSeconds * 1e3, written.compressSeconds * 1e3,
             written.encodeSeconds * 1e3, written.writeSeconds * 1e3);
    return line;
}

WriteQueue::WriteQueue(bool bTimings) : m_bTimings(bTimings)
{
    for (std::thread& t : m_threads)
        t = std::thread([this] { Run(); });
}

WriteQueue::~WriteQueue()
{
    Finish();
}

void WriteQueue::Finish()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bFinishing = true;
    }
    m_changed.notify_all();
    for (std::thread& t : m_threads)
        if (t.joinable())
            t.join();
}

void WriteQueue::Enqueue(Item item)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_items.size() < 2; });
    item.sequence = m_nQueued++;
    m_items.push_back(std::move(item));
    m_changed.notify_all();
}

void WriteQueue::Push(const std::wstring& counter, const std::wstring& where, const RenderJob& job,
                      DecodedImage picture, double startedAt, const PictureDrawTimings& drawn)
{
    Enqueue({0, counter, where, job, std::move(picture), startedAt, std::wstring(), drawn});
}

void WriteQueue::PushWritten(const std::wstring& counter, const RenderJob& job, double startedAt,
                             const PictureDrawTimings& drawn)
{
    Item item{0, counter, std::wstring(), job, DecodedImage(), startedAt, std::wstring(), drawn};
    item.bWritten = true;
    Enqueue(std::move(item));
}

void WriteQueue::PushFailure(const std::wstring& line)
{
    Enqueue({0, std::wstring(), std::wstring(), RenderJob(), DecodedImage(), 0.0, line, PictureDrawTimings()});
}

void WriteQueue::PushKept(const std::wstring& counter, const std::wstring& output)
{
    Item item{0, counter, std::wstring(), RenderJob(), DecodedImage(), 0.0, std::wstring(), PictureDrawTimings()};
    item.job.output = output;
    item.bKept = true;
    Enqueue(std::move(item));
}

DecodedImage WriteQueue::TakeSpare()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_spares.empty())
        return DecodedImage();
    DecodedImage spare = std::move(m_spares.back());
    m_spares.pop_back();
    return spare;
}

void WriteQueue::Report(size_t sequence, Outcome outcome, const std::wstring& errLine, const std::wstring& outLine)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [&] { return m_nReported == sequence; });
    (outcome == Outcome::Written ? m_nWritten : outcome == Outcome::Kept ? m_nKept : m_nFailed)++;
    PrintErr(errLine + L"\n");
    if (!outLine.empty())
        PrintOut(outLine + L"\n");
    ++m_nReported;
    m_changed.notify_all();
}

void WriteQueue::Run()
{
    for (;;) {
        Item item;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_changed.wait(lock, [this] { return !m_items.empty() || m_bFinishing; });
            if (m_items.empty())
                return;
            item = std::move(m_items.front());
            m_items.pop_front();
        }
        m_changed.notify_all();
        if (!item.failure.empty()) {
            Report(item.sequence, Outcome::Failed, item.failure, std::wstring());
            continue;
        }
        if (item.bKept) {
            Report(item.sequence, Outcome::Kept, item.counter + item.job.output + L" kept (already complete)",
                   std::wstring());
            continue;
        }
        std::wstring error;
        PictureTimings written;
        if (item.bWritten || PictureSession::Write(item.job, item.picture, &error, &written))
            Report(item.sequence, Outcome::Written,
                   item.counter + item.job.output + L" " + Milliseconds(SecondsNow() - item.startedAt) +
                       (m_bTimings ? TimingsLine(item.drawn, written) : std::wstring()),
                   item.job.output);
        else
            Report(item.sequence, Outcome::Failed, item.counter + item.where + error, std::wstring());
        // Two spares cover the pictures being written while the next is drawn.
        if (!item.picture.pixels.empty()) {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_spares.size() < 2)
                m_spares.push_back(std::move(item.picture));
        }
    }
}
