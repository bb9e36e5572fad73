#include "engine/test_connections.h"

#include <string>
#include <vector>

#include "access/source_init_properties.h"
#include "data_access/data_source.h"
#include "data_access/error_texts.h"
#include "data_access/provider_registry.h"
#include "engine/config_file.h"
#include "mysql/cluster_target.h"
#include "mysql/target_init_properties.h"

namespace tablift {
namespace {

// Gathers what the test has to say, so that one press of Test shows one box
// however many things went wrong; other questions go to the real prompter.
class CollectingPrompter : public Prompter {
 public:
  explicit CollectingPrompter(Prompter& user) : user_(user) {}

  void showMessage(std::string_view text, MessageIcon icon) override {
    if (!text_.empty()) text_ += "\n";
    text_ += text;
    if (icon != MessageIcon::Information) failed_ = true;
  }
  bool askOkCancel(std::string_view question) override { return user_.askOkCancel(question); }
  bool askYesNo(std::string_view warning) override { return user_.askYesNo(warning); }
  void showHint(std::string_view hint) override { user_.showHint(hint); }
  std::optional<std::string> askText(std::string_view caption, std::string_view label) override {
    return user_.askText(caption, label);
  }
  std::optional<std::string> chooseFolder(std::string_view caption,
                                          std::string_view startFolder) override {
    return user_.chooseFolder(caption, startFolder);
  }
  std::optional<std::string> chooseFile(std::string_view caption, std::string_view filter,
                                        std::string_view startPath) override {
    return user_.chooseFile(caption, filter, startPath);
  }

  // The one box with everything said, an error when anything failed.
  void tellUser() const {
    user_.showMessage(text_, failed_ ? MessageIcon::Error : MessageIcon::Information);
  }

 private:
  Prompter& user_;
  std::string text_;
  bool failed_ = false;
};

// Says, after a successful target test, when the server is a cluster member:
// the migration then makes its tables and transactions to suit.
void ReportCluster(DataSource& dataSource, Prompter& prompter) {
  Session session;
  if (Failed(session.open(dataSource))) return;
  const std::string cluster = DescribeClusterTarget(ReadClusterTarget(&session));
  if (!cluster.empty()) prompter.showMessage("Target is a " + cluster, MessageIcon::Information);
}

void TryOpen(const std::string& progId, const std::vector<PropertySet>& sets, const char* failed,
             const char* succeeded, Prompter& prompter, bool reportCluster = false) {
  Clsid clsid = nullptr;
  CLSIDFromProgID(progId, clsid);
  DataSource dataSource;
  if (Failed(dataSource.open(clsid, sets.data(), sets.size()))) {
    prompter.showMessage(failed, MessageIcon::Error);
    prompter.showMessage(DescribeOleDbError(&dataSource, InterfaceId::IDBInitialize),
                         MessageIcon::Error);
  } else {
    prompter.showMessage(succeeded, MessageIcon::Information);
    if (reportCluster) ReportCluster(dataSource, prompter);
  }
  dataSource.close();
}

void TestBothSides(const ConnectionProfile& source, const ConnectionProfile& target,
                   Prompter& prompter) {
  ConnectionProfile sourceProfile = source;
  sourceProfile.progId = ProviderToProgId(source.providerName);
  std::vector<PropertySet> sourceSets;
  sourceSets.emplace_back(PropertySetId::DBInit);
  BuildSourceInitProperties(sourceProfile, sourceSets.back());
  if (IsJetProgId(sourceProfile.progId)) sourceSets.push_back(BuildJetInitProperties());
  TryOpen(sourceProfile.progId, sourceSets, "Source DB Connect ERROR!",
          "Source Connection Successful!", prompter);

  ConnectionProfile targetProfile = target;
  targetProfile.progId = ProviderToProgId(target.providerName);
  std::vector<PropertySet> targetSets;
  targetSets.emplace_back(PropertySetId::DBInit);
  if (!BuildTargetInitPropertiesReporting(targetProfile, targetSets.back(), prompter)) return;
  TryOpen(targetProfile.progId, targetSets, "Target DB Connect ERROR!",
          "Target Connection Successful!", prompter, true);
}

}  // namespace

void TestConnections(const ConnectionProfile& source, const ConnectionProfile& target,
                     Prompter& prompter) {
  CollectingPrompter collected(prompter);
  TestBothSides(source, target, collected);
  collected.tellUser();
}

}  // namespace tablift
