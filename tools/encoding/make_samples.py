#!/usr/bin/env python3
"""Writes sample text files in legacy encodings, from a fixed seed.

    make_samples.py OUT_DIR [--files N] [--seed S]

OUT_DIR/<codec>/ gets N files (default 150) for each of gbk, big5,
shift_jis, euc_kr and latin-1: server configuration (yml, json, lang,
ini), logs and prose in the language each encoding is used for, encoded
with Python's codec of that name. The .txt, .yml... names match the
tool's default extension list. What the tool makes of them is measured
by measure.sh beside this file.
"""

import argparse
import json
import os
import random
import sys

# Per language: short messages (config values, lang entries), prose
# sentences (announcements, readmes) and comment lines.
TEXTS = {
    "gbk": {
        "messages": [
            "欢迎来到我们的服务器", "你没有权限执行此命令", "传送成功", "服务器将在五分钟后重启",
            "签到成功，获得十枚金币", "每日任务已刷新", "背包已满，请先清理", "领地创建成功",
            "该区域受到保护", "玩家不存在或不在线", "经验值不足", "等级提升至", "商店已打开",
            "请输入正确的数字", "附魔失败，材料已消耗", "你已被禁言", "公会名称已被占用",
            "钻石剑", "末影珍珠", "黑曜石", "铁砧已损坏", "酿造台", "鞘翅", "潜影盒", "鳕鱼",
            "苦力怕", "凋灵骷髅", "烈焰棒", "萤石粉", "砂砾", "数据库连接失败", "配置文件已重载",
            "在线奖励", "称号已装备", "坐骑召唤成功", "副本冷却中", "拍卖行", "邮件已送达",
        ],
        "prose": [
            "本服务器为纯净生存服，禁止使用任何作弊客户端，违者永久封禁。",
            "新玩家请先阅读规则，在主城的公告牌处可以领取新手礼包。",
            "每周六晚上八点举行建筑比赛，优胜者将获得限定称号和大量金币。",
            "如果遇到卡顿或者掉线，请在群里反馈，管理员会尽快处理。",
            "请不要在出生点附近建造刷怪塔，以免影响其他玩家的游戏体验。",
            "服务器于每天凌晨四点自动备份，备份期间可能会出现短暂的延迟。",
            "本插件用于管理玩家的领地，支持权限设置、成员邀请和区域保护。",
            "修改配置文件后，请使用重载命令使其生效，无需重启服务器。",
            "我们欢迎所有热爱游戏的朋友加入，一起打造一个和谐的社区。",
            "赞助所得的资金将全部用于服务器的维护和硬件升级。",
            "经济系统以金币为单位，可以通过完成任务、出售物品或参加活动获得。",
            "红石机器请控制在合理的规模内，过大的装置会被管理员拆除。",
            "末地的龙蛋归击败末影龙的队伍所有，其他人不得抢夺。",
            "若发现漏洞，请私聊管理员报告，利用漏洞获利者将被处罚。",
        ],
        "comments": [
            "服务器基本设置", "消息提示", "数据库设置，请勿随意修改", "以下为经济系统参数",
            "是否启用此功能", "单位为秒", "玩家的最大领地数量", "聊天格式",
        ],
    },
    "big5": {
        "messages": [
            "歡迎來到我們的伺服器", "你沒有權限執行此指令", "傳送成功", "伺服器將於五分鐘後重新啟動",
            "簽到成功，獲得十枚金幣", "每日任務已重新整理", "背包已滿，請先清理", "領地建立成功",
            "該區域受到保護", "玩家不存在或不在線上", "經驗值不足", "等級提升至", "商店已開啟",
            "請輸入正確的數字", "附魔失敗，材料已消耗", "你已被禁言", "公會名稱已被使用",
            "鑽石劍", "終界珍珠", "黑曜石", "鐵砧已損壞", "釀造台", "鞘翅", "界伏盒", "鱈魚",
            "苦力怕", "凋零骷髏", "烈焰桿", "螢石粉", "礫石", "資料庫連線失敗", "設定檔已重新載入",
            "線上獎勵", "稱號已裝備", "坐騎召喚成功", "副本冷卻中", "拍賣場", "郵件已送達",
        ],
        "prose": [
            "本伺服器為純淨生存服，禁止使用任何作弊用戶端，違者永久封鎖。",
            "新玩家請先閱讀規則，在主城的公告欄可以領取新手禮包。",
            "每週六晚上八點舉行建築比賽，優勝者將獲得限定稱號與大量金幣。",
            "如果遇到延遲或是斷線，請在群組裡回報，管理員會盡快處理。",
            "請不要在重生點附近建造刷怪塔，以免影響其他玩家的遊戲體驗。",
            "伺服器於每天凌晨四點自動備份，備份期間可能會出現短暫的延遲。",
            "本插件用於管理玩家的領地，支援權限設定、成員邀請與區域保護。",
            "修改設定檔後，請使用重新載入指令使其生效，無需重新啟動伺服器。",
            "我們歡迎所有熱愛遊戲的朋友加入，一起打造一個和諧的社群。",
            "贊助所得的資金將全部用於伺服器的維護與硬體升級。",
            "經濟系統以金幣為單位，可以透過完成任務、出售物品或參加活動獲得。",
            "紅石機器請控制在合理的規模內，過大的裝置會被管理員拆除。",
            "終界的龍蛋歸擊敗終界龍的隊伍所有，其他人不得搶奪。",
            "若發現漏洞，請私訊管理員回報，利用漏洞獲利者將被處罰。",
        ],
        "comments": [
            "伺服器基本設定", "訊息提示", "資料庫設定，請勿隨意修改", "以下為經濟系統參數",
            "是否啟用此功能", "單位為秒", "玩家的最大領地數量", "聊天格式",
        ],
    },
    "shift_jis": {
        "messages": [
            "サーバーへようこそ", "このコマンドを実行する権限がありません", "テレポートしました",
            "サーバーは5分後に再起動します", "ログインボーナスを受け取りました", "デイリーミッションが更新されました",
            "インベントリがいっぱいです", "土地を保護しました", "この区域は保護されています",
            "プレイヤーが見つかりません", "経験値が足りません", "レベルが上がりました", "ショップを開きました",
            "正しい数字を入力してください", "エンチャントに失敗しました", "チャットが禁止されています",
            "ギルド名はすでに使われています", "ダイヤモンドの剣", "エンダーパール", "黒曜石", "金床が壊れました",
            "醸造台", "エリトラ", "シュルカーボックス", "タラ", "クリーパー", "ウィザースケルトン",
            "データベースに接続できません", "設定ファイルを再読み込みしました", "称号を装備しました",
            "オークション", "メールが届きました",
        ],
        "prose": [
            "このサーバーは純粋なサバイバルサーバーです。チートの使用は禁止されています。",
            "新しいプレイヤーはまずルールを読んでください。初心者セットは広場で受け取れます。",
            "毎週土曜日の夜八時に建築コンテストを開催します。優勝者には限定の称号が贈られます。",
            "ラグや切断が発生した場合は、管理者までご連絡ください。",
            "スポーン地点の近くにトラップタワーを建てないでください。",
            "サーバーは毎日午前四時に自動でバックアップされます。",
            "このプラグインはプレイヤーの土地を管理し、権限の設定やメンバーの招待ができます。",
            "設定ファイルを変更した後は、リロードコマンドで反映してください。",
            "ゲームが好きな方なら誰でも歓迎します。一緒に楽しいコミュニティを作りましょう。",
            "不具合を見つけた場合は、個人チャットで管理者に報告してください。",
        ],
        "comments": [
            "サーバーの基本設定", "メッセージ", "データベースの設定（変更しないでください）",
            "経済システムの設定", "この機能を有効にするかどうか", "単位は秒", "チャットの形式",
        ],
    },
    "euc_kr": {
        "messages": [
            "서버에 오신 것을 환영합니다", "이 명령어를 실행할 권한이 없습니다", "텔레포트되었습니다",
            "서버가 5분 후에 재시작됩니다", "출석 보상을 받았습니다", "일일 퀘스트가 갱신되었습니다",
            "인벤토리가 가득 찼습니다", "땅을 보호했습니다", "이 지역은 보호되어 있습니다",
            "플레이어를 찾을 수 없습니다", "경험치가 부족합니다", "레벨이 올랐습니다", "상점을 열었습니다",
            "올바른 숫자를 입력하세요", "인챈트에 실패했습니다", "채팅이 금지되었습니다",
            "길드 이름이 이미 사용 중입니다", "다이아몬드 검", "엔더 진주", "흑요석", "모루가 부서졌습니다",
            "양조기", "겉날개", "셜커 상자", "대구", "크리퍼", "위더 스켈레톤",
            "데이터베이스에 연결할 수 없습니다", "설정 파일을 다시 불러왔습니다", "칭호를 장착했습니다",
            "경매장", "메일이 도착했습니다",
        ],
        "prose": [
            "이 서버는 순수 야생 서버입니다. 핵 클라이언트 사용은 금지되어 있습니다.",
            "새로운 플레이어는 먼저 규칙을 읽어 주세요. 초보자 선물은 광장에서 받을 수 있습니다.",
            "매주 토요일 저녁 여덟 시에 건축 대회가 열립니다. 우승자에게는 한정 칭호가 주어집니다.",
            "렉이나 접속 끊김이 발생하면 관리자에게 알려 주세요.",
            "스폰 지점 근처에 몹 타워를 짓지 마세요.",
            "서버는 매일 새벽 네 시에 자동으로 백업됩니다.",
            "이 플러그인은 플레이어의 땅을 관리하며 권한 설정과 멤버 초대를 지원합니다.",
            "설정 파일을 수정한 후에는 리로드 명령어로 적용해 주세요.",
            "게임을 좋아하는 분이라면 누구나 환영합니다. 함께 즐거운 커뮤니티를 만들어요.",
            "버그를 발견하면 귓속말로 관리자에게 신고해 주세요.",
        ],
        "comments": [
            "서버 기본 설정", "메시지", "데이터베이스 설정 (수정하지 마세요)", "경제 시스템 설정",
            "이 기능을 사용할지 여부", "단위는 초", "채팅 형식",
        ],
    },
    "latin-1": {
        "messages": [
            "Bienvenue sur le serveur", "Vous n'avez pas la permission", "Téléportation réussie",
            "Le serveur redémarre dans cinq minutes", "Récompense quotidienne reçue", "Inventaire plein",
            "Zone protégée", "Joueur introuvable", "Expérience insuffisante", "Niveau supérieur atteint",
            "Willkommen auf dem Server", "Du hast keine Berechtigung", "Teleportation erfolgreich",
            "Tägliche Belohnung erhalten", "Ungültige Eingabe", "Grundstück geschützt", "Spieler nicht gefunden",
            "Schwert aus Diamant", "Enderperle", "Amboß beschädigt", "Größe überschritten",
            "Bienvenido al servidor", "No tienes permiso", "¡Teletransporte completado!",
            "El servidor se reiniciará en cinco minutos", "Contraseña incorrecta", "Configuración recargada",
            "Você não tem permissão", "Configurações salvas", "Ação concluída", "Loja aberta",
            "Benvenuto nel server", "Città protetta", "Välkommen till servern", "Åtgärd slutförd",
        ],
        "prose": [
            "Ce serveur est un serveur de survie sans modifications ; la triche entraîne un bannissement définitif.",
            "Les nouveaux joueurs doivent lire le règlement avant de construire près du spawn.",
            "Dieser Server startet jeden Tag um vier Uhr früh neu, damit die Welt gesichert wird.",
            "Bitte baut keine großen Redstone-Maschinen in der Nähe des Spawns.",
            "Cada sábado a las ocho de la noche celebramos un concurso de construcción.",
            "Si encuentras un error, avísale a un administrador por mensaje privado.",
            "O servidor faz cópias de segurança automáticas todas as madrugadas.",
            "Après avoir modifié la configuration, utilisez la commande de rechargement.",
            "Für Spenden bedanken wir uns herzlich; sie fließen in neue Hardware.",
            "Il est interdit d'utiliser des failles ; les joueurs fautifs seront sanctionnés.",
        ],
        "comments": [
            "Paramètres généraux du serveur", "Nachrichten", "Configuración de la base de datos",
            "Économie", "Aktiviert diese Funktion", "Durée en secondes", "Format du chat",
        ],
    },
}

PLAYERS = ["Steve", "Alex_01", "xiaoming", "Notch2", "kiki", "dragon_king", "momo", "Herobrine"]
KEYS = ["welcome", "no-permission", "teleported", "restart", "daily-reward", "inventory-full",
        "region-protected", "player-not-found", "level-up", "shop-open", "invalid-number", "muted"]


def yml(rng, t):
    lines = ["# " + rng.choice(t["comments"]), "server-name: '%s'" % rng.choice(t["messages"]),
             "settings:", "  max-players: %d" % rng.randint(20, 500), "  debug: false", "messages:"]
    for key in rng.sample(KEYS, rng.randint(2, len(KEYS))):
        lines.append("  %s: '&a%s'" % (key, rng.choice(t["messages"])))
    if rng.random() < 0.5:
        lines += ["# " + rng.choice(t["comments"]), "motd: \"%s\"" % rng.choice(t["prose"])]
    return "\n".join(lines) + "\n"


def json_file(rng, t):
    entries = {"prefix": "[Server] "}
    for key in rng.sample(KEYS, rng.randint(2, 8)):
        entries[key] = rng.choice(t["messages"])
    return json.dumps({"version": 3, "messages": entries}, ensure_ascii=False, indent=2) + "\n"


def lang(rng, t):
    return "".join("item.%s.name=%s\r\n" % (k, rng.choice(t["messages"]))
                   for k in rng.sample(KEYS, rng.randint(3, len(KEYS))))


def log(rng, t):
    out = []
    for i in range(rng.randint(5, 60)):
        stamp = "[%02d:%02d:%02d INFO]: " % (rng.randint(0, 23), rng.randint(0, 59), rng.randint(0, 59))
        if rng.random() < 0.4:
            out.append(stamp + "%s joined the game" % rng.choice(PLAYERS))
        else:
            out.append(stamp + "<%s> %s" % (rng.choice(PLAYERS), rng.choice(t["messages"])))
    return "\n".join(out) + "\n"


def prose(rng, t):
    sep = " " if t is TEXTS["latin-1"] else ""  # only the Latin languages put spaces between sentences
    paragraphs = [sep.join(rng.sample(t["prose"], rng.randint(1, 4))) for _ in range(rng.randint(1, 4))]
    return "\r\n\r\n".join(paragraphs) + "\r\n"


def ini(rng, t):
    # A mostly ASCII file with one or two values in the language.
    lines = ["[general]", "port=%d" % rng.randint(20000, 30000), "title=%s" % rng.choice(t["messages"])]
    if rng.random() < 0.5:
        lines.append("notice=%s" % rng.choice(t["messages"]))
    return "\r\n".join(lines) + "\r\n"


KINDS = [("yml", yml), ("json", json_file), ("lang", lang), ("log", log), ("txt", prose), ("ini", ini)]


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("out")
    parser.add_argument("--files", type=int, default=150)
    parser.add_argument("--seed", type=int, default=936)
    args = parser.parse_args(argv)
    for codec, texts in TEXTS.items():
        rng = random.Random("%d/%s" % (args.seed, codec))
        folder = os.path.join(args.out, codec)
        os.makedirs(folder, exist_ok=True)
        for n in range(args.files):
            ext, make = KINDS[n % len(KINDS)]
            data = make(rng, texts).encode(codec)  # strict: every sample is real text of its codec
            with open(os.path.join(folder, "%s_%02d.%s" % (make.__name__, n, ext)), "wb") as f:
                f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
