#pragma once

#include <QtGlobal>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

struct TreeNode;

// The children of a node, or the artists: a list of node pointers in sixteen bytes that holds a
// single node without a block of its own. Every node carries one, and most artists of a large
// catalogue have an album or two.
class NodeList {
public:
    NodeList() = default;
    NodeList(const NodeList&) = delete;
    NodeList& operator=(const NodeList&) = delete;
    NodeList(NodeList&& other) noexcept { take(other); }
    NodeList& operator=(NodeList&& other) noexcept {
        if (this != &other) {
            release();
            take(other);
        }
        return *this;
    }
    ~NodeList() { release(); }

    TreeNode** begin() { return data(); }
    TreeNode** end() { return data() + m_size; }
    TreeNode* const* begin() const { return data(); }
    TreeNode* const* end() const { return data() + m_size; }
    size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    TreeNode* operator[](size_t i) const { return data()[i]; }
    TreeNode*& operator[](size_t i) { return data()[i]; }
    TreeNode* front() const { return data()[0]; }
    TreeNode* back() const { return data()[m_size - 1]; }

    void reserve(size_t count) {
        if (count <= m_capacity)
            return;
        auto* block = static_cast<TreeNode**>(std::malloc(count * sizeof(TreeNode*)));
        if (!block)
            throw std::bad_alloc();
        std::copy(begin(), end(), block);
        const quint32 size = m_size;
        release();
        m_many = block;
        m_size = size;
        m_capacity = quint32(count);
    }
    void push_back(TreeNode* node) {
        if (m_size == m_capacity)
            reserve(std::max<size_t>(4, size_t(m_capacity) * 2));
        data()[m_size++] = node;
    }
    void insert(TreeNode* const* at, TreeNode* node) {
        const size_t pos = size_t(at - begin());
        push_back(node);
        std::rotate(begin() + pos, end() - 1, end());
    }
    void erase(TreeNode* const* at) {
        const size_t pos = size_t(at - begin());
        std::copy(begin() + pos + 1, end(), begin() + pos);
        --m_size;
    }
    void clear() { m_size = 0; }
    // Keeps the first count nodes (count <= size()).
    void resize(size_t count) { m_size = quint32(count); }

private:
    // Up to one node is held in place of the pointer to a block.
    TreeNode** data() { return m_capacity <= 1 ? &m_one : m_many; }
    TreeNode* const* data() const { return m_capacity <= 1 ? &m_one : m_many; }
    void release() {
        if (m_capacity > 1)
            std::free(m_many);
        m_one = nullptr;
        m_size = 0;
        m_capacity = 1;
    }
    void take(NodeList& other) {
        std::memcpy(static_cast<void*>(this), &other, sizeof(NodeList));
        other.m_one = nullptr;
        other.m_size = 0;
        other.m_capacity = 1;
    }

    union {
        TreeNode* m_one = nullptr;
        TreeNode** m_many;
    };
    quint32 m_size = 0;
    quint32 m_capacity = 1;
};
