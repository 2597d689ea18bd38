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

// What each button does, where code reads better with it than with the button's name.
enum WizardButtonRole {
    kCancelButton = kId按钮1,       // 取消安装, on every page but the installation's
    kNextOnWelcome = kId按钮2,      // 下一步》
    kNextOnLicence = kId按钮3,      // 下一步》, enabled by the agreement box
    kChooseDirectory = kId按钮4,    // 更改目录
    kNextOnDirectory = kId按钮5,    // 下一步》
    kInstallButton = kId按钮6,      // 确认安装
    kFinishButton = kId按钮7,       // 完成安装
    kChatWithAuthor = kId按钮8,     // 与作者qq会话
    kBackOnLicence = kId按钮9,      // 《上一步
    kBackOnDirectory = kId按钮10,   // 《上一步
    kBackOnConfirm = kId按钮11,     // 《上一步
    kNextTutorialStep = kId按钮12,  // 我知道了
    kAgreeToLicence = kId选择框1,   // 同意协议
};

// The timer `时钟1` runs on the wizard window with this identifier.
#define QL_TIMER_时钟1 1
