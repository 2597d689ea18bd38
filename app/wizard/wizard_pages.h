// The wizard's pages, in the order of the tab control `选择夹1`.
#pragma once

enum WizardPage {
    kWelcomePage,    // 欢迎界面
    kLicencePage,    // 许可协议: 下一步》 waits for the agreement box
    kDirectoryPage,  // 安装目录
    kConfirmPage,    // 确认安装信息: the installation runs here
    kUsagePage,      // 使用教程
    kFinishPage,     // 询问启动成功
    kPageCount
};
