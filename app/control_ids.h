// Control identifiers of the wizard window: how its handlers and outside test drivers find each
// control (GetDlgItem on the control's parent). Page controls are children of the tab control
// `选择夹1`, `编辑框2` is a child of `分组框1`, `按钮1` and `选择夹1` are children of the window.
#pragma once

#define QL_WIZARD_CLASS "QinglanWizardWindow"
#define QL_WIZARD_CLASS_W L"QinglanWizardWindow"

enum WizardControlId {
    kId选择夹1 = 100,
    kId按钮1 = 101,  // kId按钮N = 100 + N
    kId按钮2 = 102,
    kId按钮3 = 103,
    kId按钮4 = 104,
    kId按钮5 = 105,
    kId按钮6 = 106,
    kId按钮7 = 107,
    kId按钮8 = 108,
    kId按钮9 = 109,
    kId按钮10 = 110,
    kId按钮11 = 111,
    kId按钮12 = 112,
    kId选择框1 = 201,
    kId选择框6 = 206,
    kId编辑框1 = 301,
    kId编辑框2 = 302,
    kId分组框1 = 401,
    kId标签1 = 501,
    kId标签2 = 502,
    kId标签3 = 503,
    kId标签5 = 505,
    kId透明标签1 = 601,  // kId透明标签N = 600 + N
    kId透明标签2 = 602,
    kId透明标签3 = 603,
    kId透明标签4 = 604,
    kId透明标签5 = 605,
    kId透明标签6 = 606,
    kId透明标签7 = 607,
    kId透明标签8 = 608,
    kId透明标签9 = 609,
    kId图片框1 = 701,
    kId画板1 = 801,
    kId画板2 = 802,
    kId进度条1 = 901,  // page 3: the installation's progress
};

// The timer `时钟1` runs on the wizard window with this identifier.
#define QL_TIMER_时钟1 1
