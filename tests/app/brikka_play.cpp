#include "tests/app/brikka_play.h"

#include <algorithm>
#include <memory>

namespace mirva::test {

Brikka BrikkaTest::makeGame(std::vector<int> kinds)
{
    // Creating the game draws two kinds that are never played.
    kinds.insert(kinds.begin(), {0, 0});
    auto next = std::make_shared<std::size_t>(0);
    return Brikka(8, 32, [kinds, next] {
        const int kind = kinds[std::min(*next, kinds.size() - 1)];
        ++*next;
        return kind;
    });
}

Brikka BrikkaTest::startGame(std::vector<int> kinds)
{
    Brikka game = makeGame(std::move(kinds));
    frame(game, 0.0f, {vk::SPACE});
    return game;
}

void BrikkaTest::frame(Brikka& game, float seconds, std::initializer_list<int> down)
{
    KeyStates keys{};
    for (int key : down)
        keys[static_cast<std::size_t>(key)] = 1;
    game.update(seconds, keys);
}

void BrikkaTest::press(Brikka& game, int key)
{
    frame(game, 0.0f, {key});
    frame(game, 0.0f);
}

void BrikkaTest::dropQuietly(Brikka& game)
{
    // 1.5 rows a step at level 1 is always more than a row ahead; the fall position is 0
    // only after a new piece appeared.
    for (int i = 0; i < 40 && game.state() == Brikka::PLAYING; ++i) {
        frame(game, 1.5f / static_cast<float>(game.level()));
        if (game.fallPosition() == 0.0f)
            return;
    }
    ASSERT_NE(game.state(), Brikka::PLAYING) << "the piece did not lock";
}

void BrikkaTest::dropWithDown(Brikka& game)
{
    for (int i = 0; i < 40 && game.state() == Brikka::PLAYING; ++i) {
        frame(game, 0.1f, {vk::DOWN});
        if (game.fallPosition() == 0.0f)
            return;
    }
    ASSERT_NE(game.state(), Brikka::PLAYING) << "the piece did not lock";
}

void BrikkaTest::clearFourRows(Brikka& game)
{
    ASSERT_EQ(game.kind(), 2);
    ASSERT_EQ(game.rotation(), 0);
    for (int row = 28; row < 32; ++row)
        for (int column = 1; column < 8; ++column)
            game.setCell(column, row, 7);
    press(game, vk::SHIFT);
    for (int i = 0; i < 4; ++i)
        press(game, vk::LEFT);
    ASSERT_EQ(game.x(), 0);
    dropQuietly(game);
}

}  // namespace mirva::test
