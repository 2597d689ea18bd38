// The wizard's windowed controls page by page, as the walks outside the installer's process check
// them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "control_ids.h"
#include "wizard_pages.h"

struct NamedControl {
    int id;
    const char* name;
};

// The windowed controls of each page, by their names in the wizard: a row per page, in the order
// of WizardPage.
inline const std::vector<std::vector<NamedControl>> kPageControls = {
    {{kId按钮2, u8"按钮2"},
     {kId按钮8, u8"按钮8"},
     {kId标签1, u8"标签1"},
     {kId透明标签1, u8"透明标签1"},
     {kId画板1, u8"画板1"}},
    {{kId按钮9, u8"按钮9"},
     {kId按钮3, u8"按钮3"},
     {kId选择框1, u8"选择框1"},
     {kId标签3, u8"标签3"},
     {kId透明标签2, u8"透明标签2"}},
    {{kId按钮10, u8"按钮10"},
     {kId按钮5, u8"按钮5"},
     {kId按钮4, u8"按钮4"},
     {kId编辑框1, u8"编辑框1"},
     {kId标签5, u8"标签5"},
     {kId透明标签3, u8"透明标签3"},
     {kId透明标签4, u8"透明标签4"},
     {kId透明标签5, u8"透明标签5"}},
    {{kId按钮11, u8"按钮11"},
     {kId按钮6, u8"按钮6"},
     {kId分组框1, u8"分组框1"},
     {kId透明标签6, u8"透明标签6"},
     {kId透明标签7, u8"透明标签7"}},
    {{kId按钮12, u8"按钮12"}, {kId图片框1, u8"图片框1"}, {kId透明标签9, u8"透明标签9"}},
    {{kId按钮7, u8"按钮7"},
     {kId选择框6, u8"选择框6"},
     {kId透明标签8, u8"透明标签8"},
     {kId画板2, u8"画板2"}},
};

// "" when exactly the controls of page `page` are visible, else the first that is not as it
// should be. `wizard.Control(id)` finds a control of the wizard.
template <typename Wizard>
std::string PageControlsProblem(const Wizard& wizard, int page) {
    for (size_t p = 0; p < kPageControls.size(); ++p) {
        for (const NamedControl& c : kPageControls[p]) {
            HWND hwnd = wizard.Control(c.id);
            if (!hwnd) return std::string(c.name) + " does not exist";
            bool want = static_cast<int>(p) == page;
            if ((IsWindowVisible(hwnd) != FALSE) != want)
                return std::string(c.name) + (want ? " is hidden" : " is visible");
        }
    }
    return "";
}
