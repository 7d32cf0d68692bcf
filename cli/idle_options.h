// Options given that change nothing for the picture they are given for (a spin's settings
// without --spin, a book's values on a box, the studio's in the eye's light, JPEG's quality
// for a PNG, a picture's size for a model): said once on standard error instead of being
// dropped in silence.
#pragma once
#include <map>
#include <set>
#include <string>
#include <vector>

#include "json_object.h"
#include "render_job.h"

class IdleOptions {
public:
    // Notes which of `given` do nothing for `job`; where: "line 4", or empty for the command line.
    void Add(const RenderJob& job, const std::vector<JsonMember>& given, const std::wstring& where = std::wstring());
    // A jobs line: its own options, and the command line's, which count as idle only if they
    // are so for every line.
    void AddLine(const RenderJob& job, const std::vector<JsonMember>& line, const std::vector<JsonMember>& commandLine,
                 size_t lineNo);
    // One line for all of them ("zelmora-render: note: ..."), empty when there are none.
    std::wstring Note() const;

private:
    struct Idle {
        std::string name;
        int reason;  // why it does nothing: an index of the reasons' list
        std::wstring where;
        bool operator<(const Idle& other) const { return reason != other.reason ? reason < other.reason : name < other.name; }
    };
    static int Reason(const RenderJob& job, const JsonMember& option);  // -1: not idle
    std::set<Idle> m_idle;
    size_t m_nLines = 0;
    std::map<std::string, std::pair<int, size_t>> m_commandLine;  // name: reason, lines where idle
};
