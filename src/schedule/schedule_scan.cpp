#include "schedule/schedule_scan.h"

#include "clock/time_value.h"

namespace tamberlight {

void scanSchedule(std::string_view buffer,
                  const std::function<bool(double time, std::string line)>& found) {
    constexpr std::string_view Break = "\r\n";
    std::size_t breakAt = buffer.find(Break);
    while (breakAt != std::string_view::npos) {
        const std::size_t start = breakAt + Break.size();
        const std::size_t end = buffer.find(Break, start);
        if (end == std::string_view::npos)
            return; // the break appended to the text: nothing lies behind it
        std::string line(buffer.substr(start, end - start));
        if (line.find(' ') == std::string::npos)
            line += ' ';
        const std::string_view key = std::string_view(line).substr(0, line.find(' '));
        if (isDate(key)) {
            const double time = timeValueFromText(key);
            if (!found(time, std::move(line)))
                return;
        }
        breakAt = end;
    }
}

} // namespace tamberlight
