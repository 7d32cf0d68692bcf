#include "spin_viewer.h"

#include "picture_record.h"

#include "json_object.h"

namespace {

// What the page does: the pictures are in `frames`, in the order of the turn (each a step to
// the right, as dragging right turns the box in Zelmora's preview). A drag across the
// picture's width turns the box once round.
const char kViewerScript[] = R"JS(
const view = document.getElementById("spin");
let index = 0, dragging = false, startX = 0, startIndex = 0;
function show(i) {
  index = ((i % frames.length) + frames.length) % frames.length;
  view.src = frames[index];
  view.dataset.frame = String(index);
  view.setAttribute("aria-valuenow", String(index + 1));
}
view.addEventListener("pointerdown", (e) => {
  dragging = true;
  startX = e.clientX;
  startIndex = index;
  view.setPointerCapture(e.pointerId);
  e.preventDefault();
});
view.addEventListener("pointermove", (e) => {
  if (dragging)
    show(startIndex + Math.round((e.clientX - startX) * frames.length / view.clientWidth));
});
for (const end of ["pointerup", "pointercancel"])
  view.addEventListener(end, () => { dragging = false; });
document.addEventListener("keydown", (e) => {
  const step = { ArrowRight: 1, ArrowLeft: -1 }[e.key];
  if (step) {
    show(index + step);
    e.preventDefault();
  }
});
for (const frame of frames) new Image().src = frame;  // all decoded before the first drag
show(0);
view.focus();
)JS";

std::string HtmlText(const std::wstring& text)
{
    std::string out;
    for (char c : Utf8FromWide(text)) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

} // namespace

std::string Base64(const BYTE* data, size_t length)
{
    static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((length + 2) / 3 * 4);
    for (size_t i = 0; i < length; i += 3) {
        const unsigned n = static_cast<unsigned>(data[i]) << 16 | (i + 1 < length ? data[i + 1] << 8 : 0) |
                           (i + 2 < length ? data[i + 2] : 0);
        out += kDigits[n >> 18 & 63];
        out += kDigits[n >> 12 & 63];
        out += i + 1 < length ? kDigits[n >> 6 & 63] : '=';
        out += i + 2 < length ? kDigits[n & 63] : '=';
    }
    return out;
}

HRESULT SpinViewerWriter::Put(const std::string& text)
{
    return m_file.Write(text.data(), static_cast<DWORD>(text.size()));
}

HRESULT SpinViewerWriter::Open(const std::wstring& path, UINT frameCount, UINT width, UINT height,
                               const std::wstring& title)
{
    m_nFrames = frameCount;
    m_nAdded = 0;
    HRESULT hr = m_file.Open(path.c_str());
    if (FAILED(hr))
        return hr;
    const std::string w = std::to_string(width), h = std::to_string(height);
    return Put("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
               "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
               "<title>" + HtmlText(title) + "</title>\n<style>\n"
               "  html, body { margin: 0; height: 100%; }\n"
               "  body { display: flex; align-items: center; justify-content: center; }\n"
               "  #spin { max-width: 100vw; max-height: 100vh; width: " + w + "px; aspect-ratio: " + w + " / " + h + ";\n"
               "          object-fit: contain; touch-action: none; user-select: none; cursor: grab; }\n"
               "  #spin:active { cursor: grabbing; }\n"
               "</style>\n</head>\n<body>\n"
               "<img id=\"spin\" tabindex=\"0\" draggable=\"false\" role=\"slider\" aria-valuemin=\"1\" aria-valuemax=\"" +
               std::to_string(frameCount) + "\" aria-label=\"" + HtmlText(title) +
               ": 360-degree view; drag or use the arrow keys to turn\" alt=\"\">\n"
               "<script>\nconst frames = [\n");
}

HRESULT SpinViewerWriter::AddFrame(const std::vector<BYTE>& picture, bool bJpeg)
{
    if (m_nAdded >= m_nFrames)
        return E_UNEXPECTED;
    ++m_nAdded;
    return Put(std::string("\"data:image/") + (bJpeg ? "jpeg" : "png") + ";base64," +
               Base64(picture.data(), picture.size()) + "\",\n");
}

HRESULT SpinViewerWriter::Commit(const std::string& record)
{
    if (m_nAdded != m_nFrames)
        return E_UNEXPECTED;
    HRESULT hr = Put(std::string("];\n") + kViewerScript + "</script>\n</body>\n" + PageEndWithRecord(record));
    return SUCCEEDED(hr) ? m_file.Commit() : hr;
}
