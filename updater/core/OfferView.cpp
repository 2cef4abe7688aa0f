#include "updater/core/OfferView.h"

#include "shared/UpdatePage.h"

namespace stickwell::updater {

OfferView OpeningView() {
  return {u"单击确定来进行如下版本的更新:", u"正在获取版本信息", u"正在获取更新信息\r\n", false, false};
}

OfferView OfflineView() {
  return {u"网络连接失败", u"无法获取版本号", u"\r\n\r\n无法获取更新内容", false, false};
}

OfferView FailedView() {
  return {u"在线升级失败", u"无法获取版本号", u"\r\n\r\n对不起，在线升级失败，您可以进入官网手动下载最新版本", false, true};
}

OfferView ViewForPage(std::u16string_view page, std::u16string_view ownVersion, const TrustCheck& trust) {
  const auto version = page::ReadPageVersion(page);
  if (!version || !trust(page, *version).ok()) return FailedView();
  const auto changeLog = page::ReadChangeLog(page);
  if (!changeLog) return FailedView();

  OfferView view = OpeningView();
  view.version = u"Ver:" + *version;
  view.changeLog = *changeLog;
  view.canUpdate = page::IsNewerVersion(*version, ownVersion);
  if (!view.canUpdate) view.prompt = u"您的软件已经是最新版:";
  return view;
}

OfferView ViewForFetch(PageFetch fetch, std::u16string_view page, std::u16string_view ownVersion,
                       const TrustCheck& trust) {
  switch (fetch) {
    case PageFetch::NotConnected:
      return OfflineView();
    case PageFetch::Arrived:
      return ViewForPage(page, ownVersion, trust);
    case PageFetch::Failed:
      break;
  }
  return FailedView();
}

}  // namespace stickwell::updater
