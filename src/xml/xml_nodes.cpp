// Node records and parsed texts: allocated alone, or taken from blocks that the last
// record or text in them frees.
#include <cstdlib>

#include "xml/xml_internal.h"

namespace xmlimpl {

namespace {

// Blocks grow from 4 KiB, so a small document takes a block or two, to 64 KiB, which
// stays below the sizes the C library maps on their own.
const size_t LARGEST_BLOCK = 64 * 1024;
// Larger records and texts are allocated alone: they would leave much of a block unused.
// Any smaller one fits in a new block.
const size_t LARGEST_IN_BLOCK = 2048;
static_assert(LARGEST_IN_BLOCK + sizeof(NodeBlock) <= NodeBlocks::FIRST_BLOCK, "a block holds the largest record");

NodeBlock *blockOf(uintptr_t header) { return reinterpret_cast<NodeBlock *>(header & ~TEXT_IN_BLOCK); }

void releaseBlock(NodeBlock *block)
{
    if (--block->holds == 0)
        free(block);
}

}  // namespace

XmlNode *newNode(char *name, size_t attributePairs)
{
    void *record = malloc(recordBytes(attributePairs));
    return record ? initRecord(record, nullptr, name, attributePairs) : nullptr;
}

void freeNodeRecord(XmlNode *node)
{
    uintptr_t *header = &headerOf(node);
    NodeBlock *block = blockOf(*header);
    if (!block) {
        free(header);
        return;
    }
    ASAN_POISON_MEMORY_REGION(header, sizeof *header + sizeof *node);
    releaseBlock(block);
}

void freeText(XmlNode *node)
{
    uintptr_t &header = headerOf(node);
    bool inBlock = header & TEXT_IN_BLOCK;
    header &= ~TEXT_IN_BLOCK;
    if (!(node->flags & XML_TEXT_OWNED))
        return;
    node->flags &= ~XML_TEXT_OWNED;
    if (!inBlock) {
        free(node->txt);
        return;
    }
    uintptr_t *textHeader = reinterpret_cast<uintptr_t *>(node->txt) - 1;
    NodeBlock *block = blockOf(*textHeader);
    ASAN_POISON_MEMORY_REGION(textHeader, sizeof *textHeader);
    releaseBlock(block);
}

NodeBlocks::~NodeBlocks()
{
    if (block_)
        releaseBlock(block_);
}

char *NodeBlocks::newText(size_t capacity, bool *inBlock)
{
    size_t bytes = (sizeof(uintptr_t) + capacity + sizeof(uintptr_t) - 1) / sizeof(uintptr_t) * sizeof(uintptr_t);
    char *taken = room(bytes);
    *inBlock = taken != nullptr;
    if (!taken)
        return static_cast<char *>(malloc(capacity));
    *reinterpret_cast<uintptr_t *>(taken) = reinterpret_cast<uintptr_t>(block_);
    return taken + sizeof(uintptr_t);
}

bool NodeBlocks::refill(size_t bytes)
{
    if (bytes > LARGEST_IN_BLOCK)
        return false;
    NodeBlock *block = static_cast<NodeBlock *>(malloc(nextSize_));
    if (!block)
        return false;
    if (block_)
        releaseBlock(block_);
    block->holds = 1;
    block_ = block;
    top_ = reinterpret_cast<char *>(block + 1);
    end_ = reinterpret_cast<char *>(block) + nextSize_;
    ASAN_POISON_MEMORY_REGION(top_, static_cast<size_t>(end_ - top_));
    if (nextSize_ < LARGEST_BLOCK)
        nextSize_ *= 2;
    return true;
}

}  // namespace xmlimpl
