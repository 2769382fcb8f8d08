#include "message_file.h"

namespace tarvona {

std::string MessageFileName(std::mt19937& random) {
    std::uniform_real_distribution<double> draw(0.0, 1.0);
    std::string name = "msg";
    for (int i = 0; i < 5; ++i)
        name += static_cast<char>('0' + static_cast<int>(draw(random) * 9 + 1));
    return name + ".txt";
}

MessageWrite WriteNewMessageFile(const Folder& messages, const std::string& bytes,
                                 uint32_t secondsOfDay) {
    std::mt19937 random(secondsOfDay);
    MessageWrite result;
    for (int attempt = 0; attempt < kMaxTries; ++attempt) {
        const std::string name = MessageFileName(random);
        result.path = messages.PathOf(name);
        switch (messages.Create(name, bytes)) {
            case CreateResult::Created:
                result.written = true;
                return result;
            case CreateResult::Failed:
                return result;
            case CreateResult::AlreadyThere:
                break;
        }
    }
    return result;
}

}  // namespace tarvona
