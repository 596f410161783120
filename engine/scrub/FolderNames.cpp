#include "engine/scrub/FolderNames.h"

#include <algorithm>

std::optional<TFolderNames::TNames>& TFolderNames::Listing(const std::string& folder) {
  if (const auto known = FFolders.find(folder); known != FFolders.end()) return known->second;
  auto& listing = FFolders[folder] = FFileSystem.ListNames(folder);
  if (listing) std::sort(listing->begin(), listing->end(), Order());
  return listing;
}

std::optional<TFolderNames::TNeighbours> TFolderNames::Neighbours(const std::string& folder, const std::string& name) {
  const auto& listing = Listing(folder);
  if (!listing) return std::nullopt;
  const auto [first, last] = std::equal_range(listing->begin(), listing->end(), name, Order());
  TNeighbours neighbours;
  if (first != listing->begin()) neighbours.before = *(first - 1);
  if (last != listing->end()) neighbours.after = *last;
  return neighbours;
}

bool TFolderNames::Holds(const std::string& folder, const std::string& name) {
  const auto& listing = Listing(folder);
  return listing && std::binary_search(listing->begin(), listing->end(), name, Order());
}

void TFolderNames::Removed(const std::string& folder, const std::string& name) {
  auto& listing = Listing(folder);
  if (!listing) return;
  const auto [first, last] = std::equal_range(listing->begin(), listing->end(), name, Order());
  // Of names the file system takes for one (another program can make such twins
  // through a driver that tells case apart), the one spelt exactly so.
  const auto exact = std::find(first, last, name);
  if (exact != last) listing->erase(exact);
  else if (first != last) listing->erase(first);
}

void TFolderNames::Added(const std::string& folder, const std::string& name) {
  auto& listing = Listing(folder);
  if (listing) listing->insert(std::upper_bound(listing->begin(), listing->end(), name, Order()), name);
}

void TFolderNames::Renamed(const std::string& folder, const std::string& from, const std::string& to) {
  Removed(folder, from);
  Added(folder, to);
}
