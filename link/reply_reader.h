#pragma once

// A box's bytes, in whatever chunks TCP delivers them, into its replies.
// Boxes differ in how they frame what they say: a reply may end in "\r\n",
// "\n", "\r" or nothing at all, and greetings, prompts and echoes of the
// command lines may stand around it. The reader knows each reply's layout
// (replies.h), so it hands a reply on as soon as it is whole, never waits for
// a line end, skips every byte that is no part of a reply, and holds no more
// than one reply's bytes however long the noise.
//
// A reply starts where its key stands (a picture value's 7 characters before
// it), unless a capital letter of other text stands right before: the echo of
// "SOSDI" ends in the key "OSDI" and is no reply. Ahead of that rule, the
// replies are in the order in which they start, each once.

#include "link/replies.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace wc {

class ReplyReader {
public:
    // The longest reply less one byte: the most that can be held of a reply still coming.
    static const std::size_t most_held;

    // The replies that this chunk completes, in order.
    std::vector<Reply> feed(std::string_view chunk);

    // Bytes held that may still begin a reply.
    std::size_t held() const { return m_held.size(); }

private:
    std::string m_held;
    bool m_in_word = false; // the byte before the held ones was a capital letter of text that is no reply
};

} // namespace wc
