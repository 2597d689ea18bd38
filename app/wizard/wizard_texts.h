// The wizard's long texts, character for character (GBK at run time).
#pragma once

// The author's account and user-group numbers, quoted in the welcome text and the chat link.
#define QL_AUTHOR_ACCOUNT "2847561930"
#define QL_USER_GROUP "738215946"
#define QL_SITE_DOMAIN "www.qinglanjianyu.com"

inline constexpr const char kChatUrl[] = "tencent://Message/?menu=no&exe=QQ&uin=" QL_AUTHOR_ACCOUNT
                                         "&websiteName=" QL_SITE_DOMAIN "&info=";

inline constexpr const char kWelcomeText[] =
    "本程序将安装青岚笺语写作到您的计算机，强烈建议您在运行本安装程序之前退出所有其它运行中的程序。"
    "单击取消可以关闭本程序。单击下一步继续进行安装。\r\n一本好的小说离不开一个优秀的软件，和一个优"
    "雅的创作环境。青岚笺语软件是作家们的好伙伴！\r\n欢迎有共同爱好的朋友聚在一起，加入我们的青岚笺"
    "语家族~！官方群" QL_USER_GROUP
    "\r\n（作者是一个二次元，欢迎有想写动漫小说的朋友加作者QQ：" QL_AUTHOR_ACCOUNT
    "或者直接点击啊下方会话按钮联系）\r\n青岚笺语将伴随您一起走写作的道路。\r\n迈下前进的脚步吧！\r"
    "\n安装此软件不是偶然，想必是伴随您走向成功之路的必然！\r\n在此作者希望大家加入官方"
    "群" QL_USER_GROUP "进来交流写作码字，谢谢大家加群。";

inline constexpr const char kLicenceText[] =
    "使用协议：\r\n 1：请不要随意更改软件的配置文件以及写作目录的文件。\r\n        \r\n "
    "2：请不要非法使用此软件。\r\n\r\n 3：请不要写侮辱他人等危害社会，反动等词。\r\n\r\n "
    "4：请不要用于损毁他人利益以及辱骂他人用途。\r\n\r\n 5：反正就是不要不正常使用软件就行了。\r\n "
    "       \r\n 6：部分功能如有雷同，实属荣幸~\r\n     \r\n "
    "7：由于你们的责任造成的后果我可是不负责的啊！！！\r\n        \r\n "
    "8：软件上使用了网络图片素材，如有侵权联系作者删除，感谢您的理解！\r\n注明：此程序受法律知识产"
    "权保护，请勿盗用他人账号偷去他人写作资料，否则经查处，您将收到法律制裁。\r\n小说知识产权全保护"
    "：您的原创作品受到此软件的保护，不会被他人窃取，如果发现作品被窃取请申诉法律保护，我们第一时间"
    "给您满意的保护。";

inline constexpr const char kDirectoryPageText[] =
    "安装程序将安装                        "
    "到以下目录中。\r\n\r\n\r\n若想安装到不同目录，请选择需要安装到的目录。\r\n\r\n\r\n若不想安装，"
    "请选择取消安装，从而退出安装程序~！\r\n\r\n\r\n点击下一步，开始安装软件。";

inline constexpr const char kConfirmPageText[] =
    "下面开始安装程序，请点击确认~！\r\n\r\n安装过程中请勿其他操作以免导致安装失败~"
    "！\r\n\r\n如果安装失败，请选择不同目录尝试。";
