#include "output/RecordPage.h"

namespace qv::output {

std::vector<std::string> logLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n')
            ++start;
    }
    return lines;
}

void printDmmRecord(const common::Form &form, common::DrawingTarget &page) {
    page.setForeColor(common::kBlack);
    page.setCurrentX(0);
    page.setCurrentY(50);
    page.print("QVDATALINK47 V1.0");
    page.print(form.v.MeterModelName + " DMM Record: " + form.el.Text1.text());
    page.print(form.os.clock.shortDate());
    page.print(form.os.clock.longTime());
    page.print("");
    for (const std::string &line : logLines(form.el.RichTextBox1.text()))
        page.print(line);
    page.print("");
    page.print("End of record");
}

} // namespace qv::output
