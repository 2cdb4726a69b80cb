#pragma once
// FlatMap: a small associative container kept as one vector of (key, value) pairs sorted by key.
// It offers the part of std::map's interface the component tree uses (find, count, operator[],
// erase, ordered iteration with ->first / ->second) at the cost of one allocation per map, which
// matters for the few-entry buffer maps every component carries. Lookups are binary searches;
// inserting or erasing moves the entries behind the position, so it suits maps of tens of entries.
// Iterators stay valid until the next insertion or erasure; changing ->first through one breaks
// the order, so only ->second is meant to be written.

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

template <class K, class V>
class FlatMap {
public:
    using key_type = K;
    using mapped_type = V;
    using value_type = std::pair<K, V>;
    using size_type = std::size_t;
    using iterator = typename std::vector<value_type>::iterator;
    using const_iterator = typename std::vector<value_type>::const_iterator;

    iterator begin() { return entries.begin(); }
    iterator end() { return entries.end(); }
    const_iterator begin() const { return entries.begin(); }
    const_iterator end() const { return entries.end(); }

    size_type size() const { return entries.size(); }
    bool empty() const { return entries.empty(); }
    void clear() { entries.clear(); }
    void reserve(size_type n) { entries.reserve(n); }

    iterator find(const K& key)
    {
        iterator it = lower_bound(key);
        return it != entries.end() && !(key < it->first) ? it : entries.end();
    }
    const_iterator find(const K& key) const
    {
        const_iterator it = lower_bound(key);
        return it != entries.end() && !(key < it->first) ? it : entries.end();
    }
    size_type count(const K& key) const { return find(key) != end() ? 1 : 0; }

    // The value under key, value-initialised and inserted in order when absent.
    V& operator[](const K& key)
    {
        iterator it = lower_bound(key);
        if (it == entries.end() || key < it->first) it = entries.emplace(it, key, V());
        return it->second;
    }

    // The entry after the erased one.
    iterator erase(const_iterator position) { return entries.erase(position); }
    iterator erase(iterator position) { return entries.erase(position); }
    // Number of entries removed (0 or 1).
    size_type erase(const K& key)
    {
        iterator it = find(key);
        if (it == entries.end()) return 0;
        entries.erase(it);
        return 1;
    }

private:
    // First entry whose key is not less than key.
    iterator lower_bound(const K& key)
    {
        return std::lower_bound(entries.begin(), entries.end(), key, keyLess);
    }
    const_iterator lower_bound(const K& key) const
    {
        return std::lower_bound(entries.begin(), entries.end(), key, keyLess);
    }

    static bool keyLess(const value_type& entry, const K& key) { return entry.first < key; }

    std::vector<value_type> entries;
};
