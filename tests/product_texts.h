// The wizard's texts as written for the product, character for character: window title, page
// titles, every control's text, the four long label texts, the sixteen texts of the information
// box and the wizard's message. UTF-8 here (the installer shows them in GBK). The tests compare
// what the windows show with this table and never with the installer's own constants, so a slip
// in one of those shows up.
#pragma once

#include "control_ids.h"

// The author's account and user-group numbers and the site, quoted in the welcome text and the
// chat link.
#define QL_WRITTEN_ACCOUNT "2847561930"
#define QL_WRITTEN_GROUP "738215946"

namespace written {

constexpr char kWindowTitle[] =
    u8"青岚笺语写作1.3（一直在努力，从未被超越！）[澄川文学网亲情支持]\r\n";
constexpr const char* kPageTitles[] = {u8"欢迎界面",     u8"许可协议", u8"安装目录",
                                       u8"确认安装信息", u8"使用教程", u8"询问启动成功"};

constexpr char kWelcomeText[] =
    u8"本程序将安装青岚笺语写作到您的计算机，强烈建议您在运行本安装程序之前退出所有其它"
    u8"运行中的程序。单击取消可以关闭本程序。单击下一步继续进行安装。\r\n"
    u8"一本好的小说离不开一个优秀的软件，和一个优雅的创作环境。青岚笺语软件是作家们的好"
    u8"伙伴！\r\n"
    u8"欢迎有共同爱好的朋友聚在一起，加入我们的青岚笺语家族~！官方群"
    QL_WRITTEN_GROUP
    u8"\r\n"
    u8"（作者是一个二次元，欢迎有想写动漫小说的朋友加作者QQ："
    QL_WRITTEN_ACCOUNT
    u8"或者直接点击啊下方会话按钮联系）\r\n"
    u8"青岚笺语将伴随您一起走写作的道路。\r\n"
    u8"迈下前进的脚步吧！\r\n"
    u8"安装此软件不是偶然，想必是伴随您走向成功之路的必然！\r\n"
    u8"在此作者希望大家加入官方群"
    QL_WRITTEN_GROUP
    u8"进来交流写作码字，谢谢大家加群。";
constexpr char kLicenceText[] =
    u8"使用协议：\r\n 1：请不要随意更改软件的配置文件以及写作目录的文件。\r\n        \r\n "
    u8"2：请不要非法使用此软件。\r\n\r\n 3：请不要写侮辱他人等危害社会，反动等词。\r\n\r\n "
    u8"4：请不要用于损毁他人利益以及辱骂他人用途。\r\n\r\n "
    u8"5：反正就是不要不正常使用软件就行了。\r\n        \r\n 6：部分功能如有雷同，实属荣幸~\r\n    "
    u8" \r\n 7：由于你们的责任造成的后果我可是不负责的啊！！！\r\n        \r\n "
    u8"8：软件上使用了网络图片素材，如有侵权联系作者删除，感谢您的理解！\r\n注明：此程序受法律知识"
    u8"产权保护，请勿盗用他人账号偷去他人写作资料，否则经查处，您将收到法律制裁。\r\n小说知识产权全"
    u8"保护：您的原创作品受到此软件的保护，不会被他人窃取，如果发现作品被窃取请申诉法律保护，我们第"
    u8"一时间给您满意的保护。";
constexpr char kDirectoryPageText[] =
    u8"安装程序将安装                        "
    u8"到以下目录中。\r\n\r\n\r\n若想安装到不同目录，请选择需要安装到的目录。\r\n\r\n\r\n若不想安装"
    u8"，请选择取消安装，从而退出安装程序~！\r\n\r\n\r\n点击下一步，开始安装软件。";
constexpr char kConfirmPageText[] =
    u8"下面开始安装程序，请点击确认~！\r\n\r\n安装过程中请勿其他操作以免导致安装失败~"
    u8"！\r\n\r\n如果安装失败，请选择不同目录尝试。";

struct ControlText {
    int id;
    const char* name;
    const char* text;
};
// Every control that carries a text, in the order of the window's definition.
const ControlText kControlTexts[] = {
    {kId按钮1, u8"按钮1", u8"取消安装"},
    {kId按钮2, u8"按钮2", u8"下一步》"},
    {kId按钮8, u8"按钮8", u8"与作者qq会话"},
    {kId按钮3, u8"按钮3", u8"下一步》"},
    {kId按钮9, u8"按钮9", u8"《上一步"},
    {kId按钮4, u8"按钮4", u8"更改目录"},
    {kId按钮5, u8"按钮5", u8"下一步》"},
    {kId按钮10, u8"按钮10", u8"《上一步"},
    {kId按钮6, u8"按钮6", u8"确认安装"},
    {kId按钮11, u8"按钮11", u8"《上一步"},
    {kId按钮12, u8"按钮12", u8"我知道了"},
    {kId按钮7, u8"按钮7", u8"完成安装"},
    {kId选择框1, u8"选择框1", u8"同意协议"},
    {kId选择框6, u8"选择框6", u8"启动软件"},
    {kId编辑框1, u8"编辑框1", u8"D:\\"},
    {kId编辑框2, u8"编辑框2", u8""},
    {kId分组框1, u8"分组框1", u8"安装信息"},
    {kId标签1, u8"标签1", u8"欢 迎 使 用：青岚笺语写作软件~！"},
    {kId标签3, u8"标签3", u8"许可协议：请您遵守以下使用规则"},
    {kId标签5, u8"标签5", u8"青岚笺语写作正式版1.3"},
    {kId标签2, u8"标签2", u8"0"},
    {kId透明标签1, u8"透明标签1", kWelcomeText},
    {kId透明标签2, u8"透明标签2", kLicenceText},
    {kId透明标签4, u8"透明标签4", u8"安装目录："},
    {kId透明标签3, u8"透明标签3", kDirectoryPageText},
    {kId透明标签5, u8"透明标签5", u8"安装目录："},
    {kId透明标签7, u8"透明标签7", u8"确认安装："},
    {kId透明标签6, u8"透明标签6", kConfirmPageText},
    {kId透明标签9, u8"透明标签9", u8"使用教程："},
    {kId透明标签8, u8"透明标签8", u8"恭喜您安装成功，下面就开始使用软件写作吧~！"},
};

// The information box after an installation: these sixteen, one after the other.
constexpr const char* kInfoTexts[] = {
    u8"正在安装：\r\n",
    u8"正在安装文件：eAPI.fne\r\n",
    u8"正在安装文件：commobj.fne\r\n",
    u8"正在安装文件：ESpeechEngine.fne\r\n",
    u8"正在安装文件：iext.fnr\r\n",
    u8"正在安装文件：iext2.fne\r\n",
    u8"正在安装文件：iext3.fne\r\n",
    u8"正在安装文件：iext5.fne\r\n",
    u8"正在安装文件：internet.fne\r\n",
    u8"正在安装文件：krnln.fnr\r\n",
    u8"正在安装文件：RegEx.fnr\r\n",
    u8"正在安装文件：shell.fne\r\n",
    u8"正在安装文件：spec.fne\r\n",
    u8"正在安装文件：卸载程序\r\n",
    u8"正在安装文件：青岚笺语主程序\r\n",
    u8"安装完毕~！！！！！！",
};

constexpr char kEmptyDirectoryMessage[] = u8"安装目录不能为空，请选择安装目录~！";
constexpr char kMessageTitle[] = u8"安装提示：";
constexpr char kChooseFolderTitle[] = u8"请选择安装目录：";
// The part of the refusal of a directory whose name GBK cannot hold that follows the name.
constexpr char kFailDirectoryCharacters[] = u8"”含有安装程序无法使用的字符，请选择其他目录。";
constexpr char kChatUrl[] = "tencent://Message/?menu=no&exe=QQ&uin=" QL_WRITTEN_ACCOUNT
                            "&websiteName=www.qinglanjianyu.com&info=";

}  // namespace written
